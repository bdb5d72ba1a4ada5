#include "controllers/LocalNetworkComputers.h"

#include <QTest>

// The listing of the network's computers away from Windows, on the outputs of the tools
// it reads (given here, so nothing looks at the real network).
class TestNetworkComputers : public QObject
{
    Q_OBJECT

private slots:
    void hostDatabase_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("a desktop's hosts file")
            << "127.0.0.1       localhost\n"
               "127.0.1.1       radna-stanica\n"
               "::1             localhost ip6-localhost ip6-loopback\n"
               "fe00::0         ip6-localnet\n"
               "ff00::0         ip6-mcastprefix\n"
               "ff02::1         ip6-allnodes\n"
               "ff02::2         ip6-allrouters\n"
            << QStringList{};
        QTest::newRow("hosts of the office")
            << "192.168.1.10    server.firma.lan server\n"
               "10.0.0.5\tlink71-pc\n"
               "fd12:3456::1    server6\n"
               "fe80::1%eth0    kapija\n"
               "2001:db8::7     javni\n"
            << QStringList{"server.firma.lan", "link71-pc", "server6", "kapija", "javni"};
        QTest::newRow("lines that name no host")
            << "\n   \nnije-adresa  nesto\n192.168.1.11\n255.255.255.255 broadcasthost\n224.0.0.1 multicast\n"
            << QStringList{};
    }

    void hostDatabase()
    {
        QFETCH(QString, output);
        QFETCH(QStringList, names);
        QCOMPARE(LocalNetworkComputers::namesInHostDatabase(output), names);
    }

    void serviceDiscovery_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("resolved services only")
            << "+;eth0;IPv4;NAS;_smb._tcp;local\n"
               "=;eth0;IPv4;NAS;_smb._tcp;local;nas.local;192.168.1.10;445;\n"
               "=;eth0;IPv6;Stampac\\032u\\032kancelariji;_ipp._tcp;local;stampac.local;fe80::1;631;\"txtvers=1\"\n"
               "-;eth0;IPv4;Stari;_ssh._tcp;local\n"
            << QStringList{"nas.local", "stampac.local"};
        QTest::newRow("escaped bytes of a name") << "=;eth0;IPv4;x;_ssh._tcp;local;kafi\\196\\135.local;10.0.0.9;22;\n"
                                                 << QStringList{QStringLiteral("kafić.local")};
        QTest::newRow("cut-off line") << "=;eth0;IPv4;NAS;_smb._tcp;local\n" << QStringList{};
        QTest::newRow("no daemon") << "" << QStringList{};
    }

    void serviceDiscovery()
    {
        QFETCH(QString, output);
        QFETCH(QStringList, names);
        QCOMPARE(LocalNetworkComputers::announcedHosts(output), names);
    }

    void listMergesEachComputerOnce()
    {
        QStringList asked;
        LocalNetworkComputers computers(
            "radna-stanica", [] { return QStringList{"PC1", "", "link71-pc", "RADNA-STANICA"}; },
            [&](const QString &program, const QStringList &) {
                asked << program;
                if (program == "getent")
                    return QString("127.0.1.1 radna-stanica\n10.0.0.5 link71-pc\n10.0.0.6 pc1\n10.0.0.7 arhiva\n");
                return QString("=;eth0;IPv4;x;_ssh._tcp;local;radna-stanica.local;10.0.0.8;22;\n"
                               "=;eth0;IPv4;y;_smb._tcp;local;nas.local;10.0.0.10;445;\n"
                               "=;eth0;IPv6;y;_smb._tcp;local;nas.local;fe80::2;445;\n");
            });
        // This computer first, then the catalogue's, then the resolver's and the announced ones.
        QCOMPARE(computers.list(), QStringList({"radna-stanica", "PC1", "link71-pc", "arhiva", "nas.local"}));
        QCOMPARE(asked, QStringList({"getent", "avahi-browse"}));
    }

    void listWithoutTheTools()
    {
        LocalNetworkComputers computers("radna-stanica", [] { return QStringList{"PC2"}; },
                                        [](const QString &, const QStringList &) { return QString(); });
        QCOMPARE(computers.list(), QStringList({"radna-stanica", "PC2"}));
    }

    void runToolKeepsWhatItPrinted()
    {
        QCOMPARE(LocalNetworkComputers::runTool("sh", {"-c", "printf 'a b\\n'"}), QStringLiteral("a b\n"));
        QCOMPARE(LocalNetworkComputers::runTool("dorvalen-no-such-tool", {}), QString());
    }
};

QTEST_GUILESS_MAIN(TestNetworkComputers)
#include "tst_networkcomputers.moc"
