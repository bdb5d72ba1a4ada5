#include "db/SqlDialect.h"

#include <QRegularExpression>

namespace {

struct Token
{
    enum Kind { Literal, Name, Space, Plus, Other } kind;
    QString text;
};

// Just enough of a lexer to tell string literals, names and "+" apart.
QList<Token> tokens(const QString &sql)
{
    QList<Token> out;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        const QChar c = sql.at(i);
        qsizetype j = i + 1;
        Token::Kind kind = Token::Other;
        if (c == QLatin1Char('\'')) {
            kind = Token::Literal;
            // A doubled apostrophe stays inside the literal.
            while (j < n) {
                if (sql.at(j) == QLatin1Char('\'')) {
                    if (j + 1 < n && sql.at(j + 1) == QLatin1Char('\''))
                        j += 2;
                    else {
                        ++j;
                        break;
                    }
                } else {
                    ++j;
                }
            }
        } else if (c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('@')) {
            kind = Token::Name;
            while (j < n && (sql.at(j).isLetterOrNumber() || sql.at(j) == QLatin1Char('_')
                             || sql.at(j) == QLatin1Char('.')))
                ++j;
        } else if (c.isSpace()) {
            kind = Token::Space;
            while (j < n && sql.at(j).isSpace())
                ++j;
        } else if (c == QLatin1Char('+')) {
            kind = Token::Plus;
        }
        out.append({kind, sql.mid(i, j - i)});
        i = j;
    }
    return out;
}

bool isOperand(const Token &t)
{
    return t.kind == Token::Literal || t.kind == Token::Name;
}

// "a + ' ' + b" becomes "a || ' ' || b". Only chains with a string literal among their
// operands are concatenations for sure; "Max(ID) + 1" stays arithmetic.
QString concatenationToPipes(const QString &sql)
{
    QList<Token> t = tokens(sql);
    qsizetype i = 0;
    while (i < t.size()) {
        if (!isOperand(t[i])) {
            ++i;
            continue;
        }
        QList<qsizetype> plusses;
        bool hasLiteral = t[i].kind == Token::Literal;
        qsizetype end = i;
        for (;;) {
            qsizetype k = end + 1;
            while (k < t.size() && t[k].kind == Token::Space)
                ++k;
            if (k >= t.size() || t[k].kind != Token::Plus)
                break;
            const qsizetype plus = k++;
            while (k < t.size() && t[k].kind == Token::Space)
                ++k;
            if (k >= t.size() || !isOperand(t[k]))
                break;
            plusses.append(plus);
            hasLiteral = hasLiteral || t[k].kind == Token::Literal;
            end = k;
        }
        if (hasLiteral) {
            for (qsizetype p : plusses)
                t[p].text = QStringLiteral("||");
        }
        i = end + 1;
    }
    QString out;
    out.reserve(sql.size() + 8);
    for (const Token &tok : t)
        out += tok.text;
    return out;
}

QString timeOfDayToStrftime(QString sql)
{
    static const QRegularExpression convert(
        QStringLiteral(R"(CONVERT\s*\(\s*VARCHAR\s*\(\s*5\s*\)\s*,\s*([^,()]+?)\s*,\s*108\s*\))"),
        QRegularExpression::CaseInsensitiveOption);
    return sql.replace(convert, QStringLiteral("strftime('%H:%M', \\1)"));
}

// SQLite has no procedures; the schema gives the same result as a view.
QString procedureToView(const QString &sql)
{
    static const QRegularExpression call(
        QStringLiteral(R"(^\s*EXEC\s+upispodatakautblDorvPodaciZaTerminale\s+(\S+)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = call.match(sql);
    if (!m.hasMatch())
        return sql;
    return QStringLiteral("SELECT IDNo, status FROM viewDorvPodaciZaTerminale"
                          " WHERE idkontrolera = %1 ORDER BY status, IDNo")
        .arg(m.captured(1));
}

} // namespace

SqlDialect SqlDialect::of(const QSqlDatabase &db)
{
    return SqlDialect(db.driverName() == QLatin1String("QSQLITE") ? Sqlite : SqlServer);
}

QString SqlDialect::adapt(const QString &tsql) const
{
    if (m_kind == SqlServer)
        return tsql;
    return concatenationToPipes(timeOfDayToStrftime(procedureToView(tsql)));
}

QString SqlDialect::concat(const QStringList &expressions) const
{
    return expressions.join(m_kind == Sqlite ? QLatin1String(" || ") : QLatin1String(" + "));
}

QString SqlDialect::controllerDataCall()
{
    return QStringLiteral("EXEC upispodatakautblDorvPodaciZaTerminale :idkontrolera");
}
