#include "tools/CtlCommandLine.h"

#include <cmath>

namespace {

const char Usage[] =
    "Upotreba: dorvalen-ctl KOMANDA [OPCIJE]\n"
    "\n"
    "Rad sa kontrolerima bez prozora programa: ista podešavanja kao program Dorvalen\n"
    "(konekcija sa bazom, \"SleepTime\") i isti katalog kontrolera. Program Dorvalen mora\n"
    "biti zatvoren, jer odgovori Link71 servera stižu na njegov port 20000.\n"
    "\n"
    "Komande:\n"
    "  status   Pita svaki kontroler za status. Jedan red po kontroleru: njegov odgovor,\n"
    "           ili da odgovor nije stigao u roku.\n"
    "  verify   Čita celu tabelu svakog kontrolera i poredi je slot po slot sa onim što\n"
    "           baza kaže, kao prozor za čitanje/pisanje: koliko se slotova slaže, koliko\n"
    "           se razlikuje, koliko nedostaje u kontroleru i koliko je viška u njemu.\n"
    "  write    Upisuje u svaki kontroler ono što baza kaže, kao \"Upiši u kontrolere\".\n"
    "  help     Ovaj tekst (isto što i --help).\n"
    "\n"
    "Opcije:\n"
    "  --controller ID      Samo kontroler sa ovim ID-jem; može više puta. Bez nje: svi\n"
    "                       kontroleri iz kataloga.\n"
    "  --details            verify, write --only-differences: i svaki slot koji se ne\n"
    "                       slaže, sa rednim brojem reda, oba media ID-a i osobama koje\n"
    "                       ih nose.\n"
    "  --only-differences   write: prvo čita tabelu, upisuje samo slotove koji se\n"
    "                       razlikuju, pa ih ponovo čita radi potvrde.\n"
    "  --json               Jedan izveštaj u obliku JSON umesto teksta.\n"
    "  --connection TEKST   Konekcioni string umesto onog koji je sačuvao program.\n"
    "  --timeout SEKUNDE    Koliko se čeka na sledeći odgovor kontrolera pre nego što se\n"
    "                       smatra da nije odgovorio (podrazumevano 10; npr. 2.5).\n"
    "  --sequential         Jedan kontroler u jednom trenutku, i kad su na različitim\n"
    "                       računarima (inače se računari obrađuju paralelno, na svakom\n"
    "                       jedan kontroler u jednom trenutku).\n"
    "  --server-port N      Port Link71 servera na računarima (podrazumevano 65000).\n"
    "  --answer-port N      Port na kom se čekaju odgovori (podrazumevano 20000).\n"
    "  --listen ADRESA      Adresa na kojoj se čekaju odgovori (podrazumevano sve).\n"
    "  -h, --help           Ovaj tekst.\n"
    "\n"
    "Na terminalu red napretka pokazuje koji se kontroler obrađuje i koliko je slotova\n"
    "gotovo. Izveštaj se završava ukupnim vremenom rada.\n"
    "\n"
    "Izlazni status:\n"
    "  0  svi kontroleri su odgovorili i slažu se sa bazom (tip bez memorijske tabele se\n"
    "     preskače);\n"
    "  1  neki kontroler se razlikuje ili nije odgovorio (naveden je u izveštaju);\n"
    "  2  pogrešna upotreba ili podešavanja: nepoznata opcija ili kontroler, konekcija sa\n"
    "     bazom, prazan katalog, zauzet port za odgovore (program Dorvalen je pokrenut).\n";

// "--name value" or "--name=value".
class ArgumentReader
{
public:
    explicit ArgumentReader(QStringList arguments) : m_arguments(std::move(arguments)) {}

    bool atEnd() const { return m_next >= m_arguments.size(); }
    QString take()
    {
        QString a = m_arguments[m_next++];
        const qsizetype equals = a.indexOf(u'=');
        if (a.startsWith(u"--") && equals > 0) {
            m_inline = a.mid(equals + 1);
            a.truncate(equals);
        } else {
            m_inline.reset();
        }
        return a;
    }
    bool hasInlineValue() const { return m_inline.has_value(); }
    std::optional<QString> value()
    {
        if (m_inline) {
            const QString v = *m_inline;
            m_inline.reset();
            return v;
        }
        // An option where a value should be means the value was left out.
        if (atEnd() || m_arguments[m_next].startsWith(u"--"))
            return std::nullopt;
        return m_arguments[m_next++];
    }

private:
    const QStringList m_arguments;
    qsizetype m_next = 0;
    std::optional<QString> m_inline;
};

std::optional<quint16> port(const QString &text, bool zeroAllowed)
{
    bool ok = false;
    const uint n = text.toUInt(&ok);
    if (!ok || n > 0xFFFF || (n == 0 && !zeroAllowed))
        return std::nullopt;
    return quint16(n);
}

std::optional<SyncCommand> commandNamed(const QString &name)
{
    if (name == u"status")
        return SyncCommand::Status;
    if (name == u"verify")
        return SyncCommand::Verify;
    if (name == u"write")
        return SyncCommand::Write;
    return std::nullopt;
}

CtlArguments usageError(const QString &text)
{
    CtlArguments result;
    result.error = text;
    return result;
}

} // namespace

QString CtlUsage()
{
    return QString::fromUtf8(Usage);
}

CtlArguments ParseCtlArguments(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return usageError(QStringLiteral("nije zadata komanda (status, verify ili write)"));
    const QString first = arguments.first();
    if (first == u"help" || first == u"--help" || first == u"-h") {
        CtlArguments result;
        result.help = true;
        return result;
    }
    const std::optional<SyncCommand> command = commandNamed(first);
    if (!command)
        return usageError(QStringLiteral("nepoznata komanda \"%1\" (status, verify ili write)").arg(first));

    CtlRequest request;
    request.command = *command;
    bool onlyDifferences = false;
    ArgumentReader reader(arguments.mid(1));
    while (!reader.atEnd()) {
        const QString option = reader.take();
        const auto needValue = [&reader]() -> std::optional<QString> {
            std::optional<QString> v = reader.value();
            if (!v || v->isEmpty())
                return std::nullopt;
            return v;
        };
        const bool flag = option == u"--details" || option == u"--json" || option == u"--sequential"
                          || option == u"--only-differences" || option == u"--help" || option == u"-h";
        if (flag && reader.hasInlineValue())
            return usageError(QStringLiteral("opcija %1 ne prima vrednost").arg(option));
        if (option == u"--help" || option == u"-h") {
            CtlArguments result;
            result.help = true;
            return result;
        } else if (option == u"--details") {
            request.details = true;
        } else if (option == u"--json") {
            request.json = true;
        } else if (option == u"--sequential") {
            request.sequential = true;
        } else if (option == u"--only-differences") {
            onlyDifferences = true;
        } else if (option == u"--controller") {
            const std::optional<QString> id = needValue();
            if (!id)
                return usageError(QStringLiteral("--controller traži ID kontrolera"));
            if (!request.controllers.contains(*id))
                request.controllers.append(*id);
        } else if (option == u"--connection") {
            const std::optional<QString> text = needValue();
            if (!text)
                return usageError(QStringLiteral("--connection traži konekcioni string"));
            request.connection = *text;
        } else if (option == u"--timeout") {
            const std::optional<QString> text = needValue();
            bool ok = false;
            const double seconds = text ? text->toDouble(&ok) : 0.0;
            if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > 3600)
                return usageError(QStringLiteral("--timeout traži broj sekundi veći od 0 i najviše 3600"));
            request.timeoutMs = std::max(1, int(std::lround(seconds * 1000)));
        } else if (option == u"--server-port" || option == u"--answer-port") {
            const std::optional<QString> text = needValue();
            const std::optional<quint16> n = text ? port(*text, false) : std::nullopt;
            if (!n)
                return usageError(QStringLiteral("%1 traži broj porta od 1 do 65535").arg(option));
            (option == u"--server-port" ? request.serverPort : request.answerPort) = *n;
        } else if (option == u"--listen") {
            const std::optional<QString> text = needValue();
            if (!text || !request.listenAddress.setAddress(*text))
                return usageError(QStringLiteral("--listen traži IP adresu"));
        } else {
            return usageError(QStringLiteral("nepoznata opcija \"%1\"").arg(option));
        }
    }
    if (onlyDifferences) {
        if (request.command != SyncCommand::Write)
            return usageError(QStringLiteral("--only-differences ide samo uz write"));
        request.command = SyncCommand::WriteDifferences;
    }
    if (request.details && request.command != SyncCommand::Verify && request.command != SyncCommand::WriteDifferences)
        return usageError(QStringLiteral("--details ide uz verify i write --only-differences"));

    CtlArguments result;
    result.request = request;
    return result;
}
