#include "widgets/CatalogueWindow.h"

#include "db/DbError.h"
#include "db/NamedQuery.h"
#include "db/NamedQueryModel.h"
#include "widgets/DataGrid.h"
#include "widgets/MessageBoxes.h"
#include "widgets/RecordEditor.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

CatalogueWindow::CatalogueWindow(const CatalogueEntry &entry, std::unique_ptr<CatalogueStore> store, QWidget *parent)
    : QDialog(parent), m_entry(entry), m_store(std::move(store)),
      m_model(new NamedQueryModel(m_store->list(), this)), m_grid(new DataGrid(true, this)),
      m_newEditor(new RecordEditor(entry.newEditor, entry.fields, this)),
      m_editEditor(new RecordEditor(entry.editEditor, entry.fields, this))
{
    setObjectName(entry.objectName);
    setWindowTitle(entry.caption);
    setModal(true);

    m_model->setColumns(entry.columns);
    m_grid->setObjectName(QStringLiteral("gridList"));
    m_grid->setCellSelectionOnDoubleClick(entry.inPlaceEditing);
    m_grid->bind(m_model);
    if (entry.inPlaceEditing) {
        m_grid->setCellWriter([this](int row, int column, const QVariant &value) { return writeCell(row, column, value); });
        // Leaving the row goes back to row selection (and stores the row).
        connect(m_store->list(), &NamedQuery::currentRowChanged, m_grid, [this] { m_grid->setCellSelection(false); });
    }
    connect(m_model, &NamedQueryModel::failed, this, &CatalogueWindow::postFailed);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    auto *buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    buttons->addWidget(addButton(QStringLiteral("btnAdd"), QStringLiteral("Dodaj")));
    buttons->addWidget(addButton(QStringLiteral("btnEdit"), QStringLiteral("Izmeni")));
    buttons->addWidget(addButton(QStringLiteral("btnDelete"), QStringLiteral("Izbriši")));
    buttons->addStretch();
    buttons->addWidget(addButton(QStringLiteral("btnClose"), QStringLiteral("Zatvori")));
    connect(findChild<QPushButton *>(QStringLiteral("btnAdd")), &QPushButton::clicked, this, &CatalogueWindow::btnAddClick);
    connect(findChild<QPushButton *>(QStringLiteral("btnEdit")), &QPushButton::clicked, this, &CatalogueWindow::btnEditClick);
    connect(findChild<QPushButton *>(QStringLiteral("btnDelete")), &QPushButton::clicked, this,
            &CatalogueWindow::btnDeleteClick);
    connect(findChild<QPushButton *>(QStringLiteral("btnClose")), &QPushButton::clicked, this, &QDialog::accept);

    connect(m_newEditor, &RecordEditor::opening, this, [this] {
        m_store->newEditorOpened(m_newEditor);
        if (!m_entry.newEditor.keepsValues)
            m_newEditor->clearFields();
    });
    connect(m_newEditor, &RecordEditor::confirmed, this, &CatalogueWindow::confirmNew);
    connect(m_editEditor, &RecordEditor::confirmed, this, &CatalogueWindow::confirmEdit);
    resize(560, 420);
}

CatalogueWindow::~CatalogueWindow()
{
    m_grid->bind(nullptr);
}

QPushButton *CatalogueWindow::addButton(const QString &objectName, const QString &text)
{
    auto *button = new QPushButton(text, this);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    button->setMinimumWidth(80);
    return button;
}

void CatalogueWindow::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        opened();
    QDialog::showEvent(event);
}

void CatalogueWindow::opened()
{
    try {
        m_store->open();
    } catch (const DbError &e) {
        MessageBoxes::error(this, e.text());
    }
    refreshChoices();
    m_grid->setCellSelection(false);
    m_grid->setFocus();
}

void CatalogueWindow::done(int result)
{
    postPendingEdit();
    m_store->close();
    QDialog::done(result);
}

void CatalogueWindow::refreshChoices()
{
    for (const CatalogueField &f : m_entry.fields) {
        if (f.kind != CatalogueField::Choice)
            continue;
        try {
            m_choices.insert(f.key, m_store->choices(f.key));
        } catch (const DbError &e) {
            m_choices.remove(f.key);
            MessageBoxes::error(this, e.text());
        }
        // A column holding the chosen key shows the choice's text.
        for (int c = 0; c < m_entry.columns.size(); ++c) {
            if (m_entry.columns.at(c).field != f.key)
                continue;
            m_grid->setLookup(c, [this, key = f.key](const QVariant &value) {
                for (const CatalogueChoice &choice : m_choices.value(key)) {
                    if (!value.isNull() && choice.key.toString() == value.toString())
                        return choice.text;
                }
                return QString();
            });
        }
        m_newEditor->setChoices(f.key, m_choices.value(f.key));
        m_editEditor->setChoices(f.key, m_choices.value(f.key));
    }
}

bool CatalogueWindow::hasFocusedRecord() const
{
    // A record the filter hides is not the operator's to change.
    const NamedQuery *q = m_store->list();
    return q->isActive() && q->currentRow() >= 0 && m_grid->viewRow(q->currentRow()) >= 0;
}

CatalogueRecord CatalogueWindow::focusedRecord() const
{
    NamedQuery *q = m_store->list();
    CatalogueRecord record;
    for (const CatalogueField &f : m_entry.fields)
        record.insert(f.key, q->asString(f.key));
    return record;
}

bool CatalogueWindow::stored(const QString &errorText, const std::function<void()> &write)
{
    try {
        write();
        return true;
    } catch (const DbError &) {
        QWidget *over = this;
        for (RecordEditor *editor : {m_newEditor, m_editEditor}) {
            if (editor->isVisible())
                over = editor;
        }
        MessageBoxes::error(over, errorText);
        return false;
    }
}

void CatalogueWindow::reread(const QString &key, int viewRow)
{
    NamedQuery *q = m_store->list();
    try {
        q->requery();
    } catch (const DbError &e) {
        MessageBoxes::error(this, e.text());
        return;
    }
    int target = -1;
    const int keyField = q->fieldIndex(m_entry.keyField);
    for (int r = 0; !key.isEmpty() && keyField >= 0 && r < q->rowCount() && target < 0; ++r) {
        if (q->cell(r, keyField).toString().compare(key, Qt::CaseInsensitive) == 0)
            target = m_grid->viewRow(r);
    }
    const int shown = m_grid->model()->rowCount();
    if (target < 0 && viewRow >= 0 && shown > 0)
        target = std::min(viewRow, shown - 1);
    if (target >= 0)
        m_grid->setCurrentIndex(m_grid->model()->index(target, std::max(m_grid->currentIndex().column(), 0)));
}

int CatalogueWindow::execFrozen(RecordEditor *editor)
{
    const bool freeze = !editor->entry().staysOpen;
    if (freeze)
        m_grid->setUpdatesEnabled(false);
    const int result = editor->exec();
    if (freeze)
        m_grid->setUpdatesEnabled(true);
    return result;
}

void CatalogueWindow::btnAddClick()
{
    postPendingEdit();
    execFrozen(m_newEditor);
}

void CatalogueWindow::confirmNew()
{
    if (!m_newEditor->requiredFilled()) {
        // The editor stays open with what was typed.
        MessageBoxes::warning(m_newEditor, m_entry.texts.requiredWarning);
        return;
    }
    const CatalogueRecord record = m_newEditor->record();
    const bool ok = stored(m_entry.texts.addError, [&] { m_store->insert(record); });
    reread(ok ? record.value(m_entry.keyField).toString() : QString(), m_grid->currentIndex().row());
    if (!m_entry.newEditor.staysOpen)
        m_newEditor->accept();
}

void CatalogueWindow::btnEditClick()
{
    postPendingEdit();
    if (!hasFocusedRecord())
        return;
    try {
        m_before = focusedRecord();
    } catch (const DbError &e) {
        MessageBoxes::error(this, e.text());
        return;
    }
    m_editEditor->setRecord(m_before);
    execFrozen(m_editEditor);
}

void CatalogueWindow::confirmEdit()
{
    if (!m_editEditor->requiredFilled()) {
        MessageBoxes::warning(m_editEditor, m_entry.texts.requiredWarning);
        return;
    }
    const CatalogueRecord after = m_editEditor->record();
    const bool ok = stored(m_entry.texts.editError, [&] { m_store->update(m_before, after); });
    const CatalogueRecord &focus = ok ? after : m_before;
    reread(focus.value(m_entry.keyField).toString(), m_grid->currentIndex().row());
    m_editEditor->accept();
}

void CatalogueWindow::btnDeleteClick()
{
    postPendingEdit();
    if (!hasFocusedRecord())
        return;
    if (!MessageBoxes::question(this, m_entry.texts.deleteQuestion, true))
        return;
    const int at = m_grid->currentIndex().row();
    stored(m_entry.texts.deleteError, [&] { m_store->remove(focusedRecord()); });
    reread(QString(), at);
}

bool CatalogueWindow::writeCell(int queryRow, int column, const QVariant &value)
{
    NamedQuery *q = m_store->list();
    const QString key = m_model->fieldAt(column);
    for (const CatalogueField &f : m_entry.fields) {
        if (f.key == key && f.required && value.toString().trimmed().isEmpty()) {
            MessageBoxes::warning(this, m_entry.texts.requiredWarning);
            return false;
        }
    }
    try {
        if (q->currentRow() != queryRow)
            q->moveTo(queryRow);
        const int field = q->fieldIndex(key);
        if (field >= 0 && q->state() == NamedQuery::Browse && q->cell(queryRow, field) == value)
            return true;
        q->edit();
        q->setValue(key, value);
        return true;
    } catch (const DbError &) {
        MessageBoxes::error(this, m_entry.texts.editError);
        q->cancel();
        return false;
    }
}

void CatalogueWindow::postFailed()
{
    // Leaving a row edited in place could not store it: it goes back as it was.
    MessageBoxes::error(this, m_entry.texts.editError);
    m_store->list()->cancel();
}

void CatalogueWindow::postPendingEdit()
{
    NamedQuery *q = m_store->list();
    if (!q->isActive() || q->state() != NamedQuery::Edit)
        return;
    try {
        q->post();
    } catch (const DbError &) {
        postFailed();
    }
}
