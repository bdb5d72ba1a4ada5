#include "widgets/RecordEditor.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

namespace {

QTime parsedTime(const QString &text)
{
    for (const char *format : {RecordEditor::TimeFormat, "H:mm", "HH:mm:ss"}) {
        const QTime t = QTime::fromString(text.trimmed(), QLatin1String(format));
        if (t.isValid())
            return t;
    }
    return QTime(0, 0);
}

const QTime DayStart(0, 0);
const QTime DayEnd(23, 59);

} // namespace

RecordEditor::RecordEditor(const EditorEntry &entry, const QList<CatalogueField> &fields, QWidget *parent)
    : FixedDialog(entry.objectName, entry.caption, parent), m_entry(entry)
{
    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    body()->addLayout(form);
    for (int i = 0; i < fields.size(); ++i) {
        Editor e;
        e.field = fields.at(i);
        e.label = new QLabel(entry.labels.value(i), this);
        e.label->setObjectName(QStringLiteral("lbl") + e.field.key);
        QWidget *w = nullptr;
        switch (e.field.kind) {
        case CatalogueField::Text:
            e.text = new QLineEdit(this);
            e.text->setMaxLength(e.field.maxLength);
            e.text->setMinimumWidth(220);
            w = e.text;
            break;
        case CatalogueField::Choice:
            // Only the offered values: no other text is accepted.
            e.choice = new QComboBox(this);
            e.choice->setEditable(false);
            e.choice->setMinimumWidth(220);
            w = e.choice;
            break;
        case CatalogueField::Time:
            e.time = new QTimeEdit(this);
            e.time->setDisplayFormat(QLatin1String(TimeFormat));
            w = e.time;
            break;
        }
        w->setObjectName(e.field.objectName);
        e.label->setBuddy(w);
        form->addRow(e.label, w);
        m_editors.append(e);
    }
    if (!entry.alwaysText.isEmpty()) {
        m_always = new QCheckBox(entry.alwaysText, this);
        m_always->setObjectName(QStringLiteral("chkAlways"));
        form->addRow(QString(), m_always);
        connect(m_always, &QCheckBox::toggled, this, &RecordEditor::alwaysToggled);
    }
    QPushButton *ok = addButton(QStringLiteral("btnOK"), entry.okText);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &RecordEditor::confirmed);
    QPushButton *cancel = addButton(QStringLiteral("btnCancel"), entry.cancelText);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QWidget *RecordEditor::widgetOf(const Editor &e) const
{
    if (e.text)
        return e.text;
    if (e.choice)
        return e.choice;
    return e.time;
}

void RecordEditor::setChoices(const QString &key, const QList<CatalogueChoice> &choices)
{
    for (Editor &e : m_editors) {
        if (e.field.key != key || !e.choice)
            continue;
        const QVariant kept = e.choice->currentData();
        e.choice->clear();
        for (const CatalogueChoice &c : choices)
            e.choice->addItem(c.text, c.key);
        e.choice->setCurrentIndex(kept.isValid() ? e.choice->findData(kept) : -1);
    }
}

QString RecordEditor::valueOf(const Editor &e) const
{
    if (e.text)
        return e.text->text();
    if (e.choice)
        return e.choice->currentIndex() < 0 ? QString() : e.choice->currentData().toString();
    return e.time->time().toString(QLatin1String(TimeFormat));
}

void RecordEditor::setRecord(const CatalogueRecord &record)
{
    QList<QTime> times;
    for (Editor &e : m_editors) {
        const QString value = record.value(e.field.key).toString();
        if (e.text) {
            e.text->setText(value);
        } else if (e.choice) {
            int found = -1;
            for (int i = 0; i < e.choice->count() && found < 0; ++i) {
                if (e.choice->itemData(i).toString() == value)
                    found = i;
            }
            e.choice->setCurrentIndex(found);
        } else {
            e.time->setTime(parsedTime(value));
            times.append(e.time->time());
        }
    }
    if (!m_always)
        return;
    // Set from the interval shown, both ways, every time.
    const bool always = times.size() == 2 && times.at(0) == DayStart && times.at(1) == DayEnd;
    const QSignalBlocker block(m_always);
    m_always->setChecked(always);
    enableTimes(!always);
}

void RecordEditor::clearFields()
{
    for (Editor &e : m_editors) {
        if (e.text)
            e.text->clear();
        else if (e.choice)
            e.choice->setCurrentIndex(-1);
        else
            e.time->setTime(DayStart);
    }
    if (m_always) {
        const QSignalBlocker block(m_always);
        m_always->setChecked(false);
        enableTimes(true);
    }
}

CatalogueRecord RecordEditor::record() const
{
    CatalogueRecord out;
    for (const Editor &e : m_editors)
        out.insert(e.field.key, valueOf(e));
    return out;
}

bool RecordEditor::requiredFilled() const
{
    for (const Editor &e : m_editors) {
        if (e.field.required && valueOf(e).trimmed().isEmpty())
            return false;
    }
    return true;
}

void RecordEditor::alwaysToggled(bool on)
{
    if (on && m_entry.alwaysSetsTimes) {
        int n = 0;
        for (Editor &e : m_editors) {
            if (e.time)
                e.time->setTime(n++ == 0 ? DayStart : DayEnd);
        }
    }
    enableTimes(!on);
}

void RecordEditor::enableTimes(bool on)
{
    for (Editor &e : m_editors) {
        if (!e.time)
            continue;
        e.time->setEnabled(on);
        e.label->setEnabled(on);
    }
}

void RecordEditor::opened()
{
    emit opening();
    for (const Editor &e : m_editors) {
        if (m_entry.focusKey.isEmpty() || e.field.key == m_entry.focusKey) {
            widgetOf(e)->setFocus();
            break;
        }
    }
}
