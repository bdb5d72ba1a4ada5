#include "base/iButton.h"

#include <QTest>

class TestIButton : public QObject
{
    Q_OBJECT

private slots:
    void checkByte_data()
    {
        QTest::addColumn<QString>("mediaId");
        QTest::addColumn<int>("crc");
        QTest::newRow("16 digits") << "A200000001B81C02" << 0xA2;
        QTest::newRow("14 digits") << "00000001B81C02" << 0xA2;
        QTest::newRow("stored check byte ignored") << "FF00000001B81C02" << 0xA2;
        QTest::newRow("lower case") << "a200000001b81c02" << 0xA2;
        QTest::newRow("all zero") << "00000000000000" << 0x00;
    }

    void checkByte()
    {
        QFETCH(QString, mediaId);
        QFETCH(int, crc);
        QCOMPARE(int(MediaIDCRC(mediaId)), crc);
    }

    void aCodeWithItsOwnCheckByteCrcsToZero()
    {
        // The 1-Wire property: the CRC over code and check byte together is 0.
        const quint8 romLsbFirst[8] = {0x02, 0x1C, 0xB8, 0x01, 0x00, 0x00, 0x00, 0xA2};
        QCOMPARE(int(dallasCrc8(romLsbFirst, 8)), 0);
    }

    void badLength_data()
    {
        QTest::addColumn<QString>("mediaId");
        QTest::newRow("15") << "200000001B81C02";
        QTest::newRow("empty") << "";
        QTest::newRow("17") << "A200000001B81C021";
    }

    void badLength()
    {
        QFETCH(QString, mediaId);
        try {
            MediaIDCRC(mediaId);
            QFAIL("no exception");
        } catch (const EIButtonBadLength &e) {
            QCOMPARE(QString(e.what()), QString("Bad MediaID length. Should be 14 or 16 characters."));
        }
    }

    void nonHexPairIsAConversionError()
    {
        QVERIFY_THROWS_EXCEPTION(EConvertError, MediaIDCRC("A2000000G1B81C02"));
        // The skipped check byte is never read.
        QCOMPARE(int(MediaIDCRC("ZZ00000001B81C02")), 0xA2);
    }
};

QTEST_GUILESS_MAIN(TestIButton)
#include "tst_ibutton.moc"
