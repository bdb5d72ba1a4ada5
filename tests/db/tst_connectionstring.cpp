#include "db/BuiltInDatabase.h"
#include "db/ConnectionString.h"
#include "db/DbConnection.h"
#include "db/DbError.h"
#include "tests/support/TempDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(OdbcPlatform::Os)

class TestConnectionString : public QObject
{
    Q_OBJECT

private slots:
    void odbcForm_data()
    {
        QTest::addColumn<OdbcPlatform::Os>("os");
        QTest::addColumn<QStringList>("drivers");
        QTest::addColumn<QString>("ado");
        QTest::addColumn<QString>("odbc");
        const QString login = "Provider=SQLOLEDB.1;Data Source=%1;Initial Catalog=Dorv;User ID=brenmark;"
                              "Password=%2;Persist Security Info=True";
        const QString sspi = "Provider=SQLOLEDB.1;Data Source=%1;Initial Catalog=Dorv;Persist Security Info=False;"
                             "Integrated Security=SSPI";
        const QString tail = ";DATABASE=Dorv;UID=brenmark;PWD=tinsmoke;TDS_Version=7.4;ClientCharset=UTF-8";
        const QStringList none;
        QTest::newRow("linux (local)") << OdbcPlatform::Unix << none << login.arg("(local)", "tinsmoke")
                                       << "DRIVER={FreeTDS};SERVER=127.0.0.1;PORT=1433" + tail;
        QTest::newRow("linux dot") << OdbcPlatform::Unix << none << login.arg(".", "tinsmoke")
                                   << "DRIVER={FreeTDS};SERVER=127.0.0.1;PORT=1433" + tail;
        QTest::newRow("linux host") << OdbcPlatform::Unix << none << login.arg("srv01", "tinsmoke")
                                    << "DRIVER={FreeTDS};SERVER=srv01;PORT=1433" + tail;
        QTest::newRow("linux host,port") << OdbcPlatform::Unix << none << login.arg("srv01,1500", "tinsmoke")
                                         << "DRIVER={FreeTDS};SERVER=srv01;PORT=1500" + tail;
        QTest::newRow("linux host\\instance") << OdbcPlatform::Unix << none << login.arg("srv01\\SQLEXPRESS", "tinsmoke")
                                              << "DRIVER={FreeTDS};SERVER=srv01\\SQLEXPRESS" + tail;
        QTest::newRow("linux (local)\\instance")
            << OdbcPlatform::Unix << none << login.arg("(local)\\SQLEXPRESS", "tinsmoke")
            << "DRIVER={FreeTDS};SERVER=127.0.0.1\\SQLEXPRESS" + tail;
        QTest::newRow("linux empty password")
            << OdbcPlatform::Unix << none << login.arg("srv01", "")
            << "DRIVER={FreeTDS};SERVER=srv01;PORT=1433;DATABASE=Dorv;UID=brenmark;PWD=;TDS_Version=7.4;"
               "ClientCharset=UTF-8";
        // A brace in a password must not end the value and let the rest become keys.
        QTest::newRow("linux braced password")
            << OdbcPlatform::Unix << none << login.arg("srv01", "a}b{c")
            << "DRIVER={FreeTDS};SERVER=srv01;PORT=1433;DATABASE=Dorv;UID=brenmark;PWD={a}}b{c};TDS_Version=7.4;"
               "ClientCharset=UTF-8";
        QTest::newRow("linux SSPI")
            << OdbcPlatform::Unix << none << sspi.arg("srv01")
            << "DRIVER={FreeTDS};SERVER=srv01;PORT=1433;DATABASE=Dorv;Trusted_Connection=yes;TDS_Version=7.4;"
               "ClientCharset=UTF-8";
        QTest::newRow("windows newest driver")
            << OdbcPlatform::Windows
            << QStringList{"SQL Server", "ODBC Driver 17 for SQL Server", "ODBC Driver 18 for SQL Server"}
            << login.arg("srv01\\SQLEXPRESS", "tinsmoke")
            << "DRIVER={ODBC Driver 18 for SQL Server};SERVER=srv01\\SQLEXPRESS;DATABASE=Dorv;UID=brenmark;"
               "PWD=tinsmoke;TrustServerCertificate=yes";
        QTest::newRow("windows 17, (local) as is")
            << OdbcPlatform::Windows << QStringList{"ODBC Driver 17 for SQL Server"} << login.arg("(local)", "tinsmoke")
            << "DRIVER={ODBC Driver 17 for SQL Server};SERVER=(local);DATABASE=Dorv;UID=brenmark;PWD=tinsmoke;"
               "TrustServerCertificate=yes";
        QTest::newRow("windows old driver, host,port")
            << OdbcPlatform::Windows << QStringList{"SQL Server"} << login.arg("srv01,1500", "tinsmoke")
            << "DRIVER={SQL Server};SERVER=srv01,1500;DATABASE=Dorv;UID=brenmark;PWD=tinsmoke";
        QTest::newRow("windows SSPI")
            << OdbcPlatform::Windows << QStringList{} << sspi.arg("(local)")
            << "DRIVER={SQL Server};SERVER=(local);DATABASE=Dorv;Trusted_Connection=yes";
    }

    void odbcForm()
    {
        QFETCH(OdbcPlatform::Os, os);
        QFETCH(QStringList, drivers);
        QFETCH(QString, ado);
        QFETCH(QString, odbc);
        OdbcPlatform platform;
        platform.os = os;
        platform.installedDrivers = drivers;
        QCOMPARE(ConnectionString::odbc(ConnectionString::parse(ado), platform), odbc);
    }

    void sqliteForm()
    {
        const ConnectionSettings s = ConnectionString::parse("Provider=SQLite;Data Source=/tmp/x y/dorvalen.sqlite");
        QCOMPARE(s.kind, ConnectionSettings::Sqlite);
        QCOMPARE(s.fileName, QString("/tmp/x y/dorvalen.sqlite"));
        QCOMPARE(ConnectionString::forSqliteFile("/tmp/x y/dorvalen.sqlite"),
                 QString("Provider=SQLite;Data Source=/tmp/x y/dorvalen.sqlite"));
    }

    void unusableStringsAreRejected_data()
    {
        QTest::addColumn<QString>("connectionString");
        QTest::newRow("empty") << "";
        QTest::newRow("unknown provider") << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb";
        QTest::newRow("sqlite without file") << "Provider=SQLite";
    }

    void unusableStringsAreRejected()
    {
        QFETCH(QString, connectionString);
        QVERIFY_THROWS_EXCEPTION(DbError, ConnectionString::parse(connectionString));
        DbConnection conn;
        conn.setConnectionString(connectionString);
        QVERIFY_THROWS_EXCEPTION(DbError, conn.open());
        QVERIFY(!conn.isOpen());
    }

    void sqlServerWithNothingListeningFailsWithinTheTimeOut()
    {
        // A port that was free a moment ago: nothing listens on it.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const quint16 port = probe.serverPort();
        probe.close();

        DbConnection conn;
        conn.setConnectionString(QString("Provider=SQLOLEDB.1;Data Source=127.0.0.1,%1;Initial Catalog=Dorv;"
                                         "User ID=brenmark;Password=tinsmoke;Persist Security Info=True")
                                     .arg(port));
        QElapsedTimer timer;
        timer.start();
        try {
            conn.open();
            QFAIL("opened a connection to a port nothing listens on");
        } catch (const DbError &e) {
            QVERIFY2(!e.text().trimmed().isEmpty(), "the driver's text is missing");
        }
        QVERIFY2(timer.elapsed() < (DbConnection::LoginTimeoutSeconds + 3) * 1000,
                 qPrintable(QString("took %1 ms").arg(timer.elapsed())));
        QVERIFY(!conn.isOpen());
    }

    void missingSqliteFileIsNotCreated()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("missing.sqlite");
        DbConnection conn;
        conn.setConnectionString(ConnectionString::forSqliteFile(file));
        QVERIFY_THROWS_EXCEPTION(DbError, conn.open());
        QVERIFY(!QFile::exists(file));
    }

    void builtInDatabaseIsCreatedFromTheSchemaOnce()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("sub/dorvalen.sqlite");
        const QString cs = BuiltInDatabase::connectionString(file);
        QCOMPARE(cs, ConnectionString::forSqliteFile(file));
        {
            DbConnection conn;
            conn.setConnectionString(cs);
            conn.open();
            QSqlQuery q(conn.database());
            QVERIFY(q.exec("INSERT INTO tblDorvGrupe (IDGrupe, Naziv) VALUES ('G1', 'Smena A')"));
        }
        // A second start finds the file and keeps its contents.
        BuiltInDatabase::connectionString(file);
        DbConnection conn;
        conn.setConnectionString(cs);
        conn.open();
        QSqlQuery q(conn.database());
        QVERIFY(q.exec("SELECT Naziv FROM tblDorvGrupe WHERE IDGrupe = 'g1'"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QString("Smena A"));
        QVERIFY(!QFile::exists(file + ".new"));
    }

    void builtInDatabaseInAFolderThatCannotBeMadeFails()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString file = dir.filePath("file/dorvalen.sqlite");
        QVERIFY_THROWS_EXCEPTION(DbError, BuiltInDatabase::connectionString(file));
        QVERIFY(!QFile::exists(file));
    }
};

QTEST_GUILESS_MAIN(TestConnectionString)
#include "tst_connectionstring.moc"
