#include "tests/admin/CatalogueFixture.h"

// Time intervals: the whole-day interval, hh:mm times, the editor that stays open.
class TestTimeIntervals : public QObject, public CatalogueFixture
{
    Q_OBJECT

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void uvekGivesTheWholeDayAndTheDialogStaysOpen()
    {
        inCatalogue(catalogue("time intervals"), [&](CatalogueWindow *window) {
            inEditor(window, "frmNewTimeInterval", "btnAdd", [&](QWidget *editor) {
                auto *always = child<QCheckBox>(editor, "chkAlways");
                QCOMPARE(always->text(), QStringLiteral("Uvek"));
                setText(editor, "edID", "U1");
                setTimes(editor, QTime(8, 0), QTime(16, 0));
                always->setChecked(true);
                QCOMPARE(child<QTimeEdit>(editor, "edFrom")->time(), QTime(0, 0));
                QCOMPARE(child<QTimeEdit>(editor, "edTo")->time(), QTime(23, 59));
                QVERIFY(!child<QTimeEdit>(editor, "edFrom")->isEnabled());
                QVERIFY(!child<QLabel>(editor, "lblTo")->isEnabled());
                click(editor, "btnOK");
                QVERIFY(editor->isVisible());
                always->setChecked(false);
                QVERIFY(child<QTimeEdit>(editor, "edTo")->isEnabled());
                setText(editor, "edID", "U2");
                setTimes(editor, QTime(7, 0), QTime(15, 0));
                click(editor, "btnOK");
                click(editor, "btnCancel");
            });
            // The new-interval dialog keeps its values from one opening to the next.
            inEditor(window, "frmNewTimeInterval", "btnAdd", [&](QWidget *editor) {
                QCOMPARE(child<QLineEdit>(editor, "edID")->text(), QStringLiteral("U2"));
                QCOMPARE(child<QTimeEdit>(editor, "edTo")->time(), QTime(15, 0));
            });
            QCOMPARE(window->grid()->model()->rowCount(), 4);
        });
        QCOMPARE(m_db->rows("SELECT IDIntervala || '|' || Od || '|' || Do FROM tblDorvVremenskiIntervali "
                            "WHERE IDIntervala LIKE 'U%' ORDER BY 1"),
                 QStringList({"U1|00:00|23:59", "U2|07:00|15:00"}));
    }

    void editIntervalSetsAlwaysFromTheIntervalShown()
    {
        inCatalogue(catalogue("time intervals"), [&](CatalogueWindow *window) {
            for (const QString key : {"X2", "X1", "X2"}) {
                const bool wholeDay = key == "X2";
                focusRecord(window, key);
                inEditor(window, "frmEditTimeInterval", "btnEdit", [&](QWidget *editor) {
                    auto *always = child<QCheckBox>(editor, "chkAlways");
                    QCOMPARE(always->text(), QStringLiteral("Always"));
                    QCOMPARE(always->isChecked(), wholeDay);
                    QCOMPARE(child<QTimeEdit>(editor, "edFrom")->isEnabled(), !wholeDay);
                    QCOMPARE(child<QTimeEdit>(editor, "edTo")->isEnabled(), !wholeDay);
                    QCOMPARE(child<QLabel>(editor, "lblFrom")->isEnabled(), !wholeDay);
                    if (!wholeDay) {
                        // Here the box only disables the times; it leaves their values.
                        always->setChecked(true);
                        QVERIFY(!child<QTimeEdit>(editor, "edFrom")->isEnabled());
                        QCOMPARE(child<QTimeEdit>(editor, "edFrom")->time(), QTime(8, 0));
                    }
                    click(editor, "btnCancel");
                });
            }
        });
    }

    void timesAreWrittenAsHoursAndMinutesWhateverTheLocale()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        inCatalogue(catalogue("time intervals"), [&](CatalogueWindow *window) {
            inEditor(window, "frmNewTimeInterval", "btnAdd", [&](QWidget *editor) {
                setText(editor, "edID", "L1");
                setTimes(editor, QTime(8, 5), QTime(17, 0));
                QCOMPARE(child<QTimeEdit>(editor, "edFrom")->text(), QStringLiteral("08:05"));
                click(editor, "btnOK");
            });
        });
        QLocale::setDefault(saved);
        QCOMPARE(m_db->rows("SELECT Od || '-' || Do FROM tblDorvVremenskiIntervali WHERE IDIntervala = 'L1'"),
                 QStringList({"08:05-17:00"}));
    }

    // Each window and editor once as a picture (for a look), with nothing outside its frame.
};

QTEST_MAIN(TestTimeIntervals)
#include "tst_timeintervals.moc"
