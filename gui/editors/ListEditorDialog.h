#pragma once

#include "gui/editors/ListEditorModel.h"
#include "gui/import/ImportReceiver.h"
#include "logic/editing/ListEditorRows.h"
#include "base/object/QZObjectList.h"
#include "logic/editing/RecordOrder.h"
#include "logic/editing/RowRequest.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CListFilterModel;
class CScheduleTask;
class CSearchField;
class QLabel;
class QPushButton;
class QTableView;
class QVBoxLayout;

// The modal window in which one record list of the open task is edited:
// students, classes, pre-assignments or exclusive groups. The editing is
// done on the window's rows; the task is changed only when the user saves,
// which writes the rows into the task and saves its input data file.
//
// A concrete editor supplies the columns, the conversion between rows and
// records and its add and modify dialogs; this class supplies the window,
// the commands, the record count, selection, reordering, the duplicate-name
// test, the modified state and the close prompt.
//
// Rows: column 0 holds the record's id and is never shown; the visible
// columns start at 1. By default the rows live in a CListEditorRows, where a
// row may carry a record of its own (destroyed with the row); an editor may
// keep its rows in a class of its own instead (setRows).
//
// An editor may offer a search field (setSearchColumns): the list then
// shows only the rows matching it, and every command acts on the rows shown.
// Row numbers of this class and its editors are always rows of the store;
// only the list view sees the rows shown.
//
// The window opens (initDialog) on its first show: the task's priority
// names are read, InitList runs, the buttons, the count and the title are
// set.
class CListEditorDialog : public QDialog, public CImportReceiver
{
    Q_OBJECT

public:
    using Row = std::vector<std::string>;

    // The command buttons, top to bottom as the window first shows them.
    enum class Button
    {
        Save,
        Cancel,
        Add,
        Modify,
        Delete,
        MoveUp,
        MoveDown,
        Import,
        Print,
    };

    explicit CListEditorDialog(CScheduleTask& task, QWidget* parent = nullptr);
    ~CListEditorDialog() override;

    // The opening steps; runs once (the first show runs it).
    void initDialog();

    // The editor's operations. A concrete editor overrides what it needs.

    // Sets up the list; editors call this first, then set their columns
    // and fill their rows.
    virtual void InitList();
    // Marks the rows as changed since the last load or save: the title gets
    // " (已修改,未保存)" and the Save button turns pale yellow.
    virtual void SetModified(bool modified);
    // Saves the task's input data file. Editors first write their rows into
    // the task, then call this. When the file cannot be written the user is
    // told why, the editor stays modified and false is returned.
    virtual bool SaveList();
    // The print dialog, then the visible columns and rows as a table.
    virtual void PrintList();
    virtual void AddItem();
    // Deletes the selected rows from the bottom up, their ids going to
    // deletedIds(); asks nothing.
    virtual void DeleteSelected();
    virtual void ModifyItem();
    virtual void OnMovedUp();
    virtual void OnMovedDown();
    virtual void OnItemDoubleClick();
    virtual void ImportItems();
    // An import is about to push rows: the editor remembers its rows (and
    // columns and modified state) so that UndoImport can put them back.
    void BeginImport() override;
    // Puts the rows back as BeginImport found them; false when the editor
    // cannot.
    bool UndoImport() override;
    // A line the import adds to its closing message, e.g. about rows taken
    // that want a look; empty for none.
    QString ImportNote() const override;
    // Whether row's first cell names a row of the list other than the one a
    // Replace request is for: spaces are ignored, half- and full-width
    // parentheses are the same, and Latin letters compare without regard to
    // case. Unless the request is quiet, says "%s 已存在。" on a duplicate.
    virtual bool IsDuplicateName(const Row& row, const RowRequest& request);
    virtual QString GetPrintTitle() const;
    virtual QString GetCountText() const;
    virtual void UpdateCountText();
    // Modify, Delete, Move up and Move down need a selected row.
    virtual void UpdateButtons();

    // The one entry through which rows are pushed into the editor: by its
    // own add and modify dialogs and by a batch source such as the
    // spreadsheet import. Returns 0 and sets request.accepted when the row
    // was taken, -1 when it was refused (request.message may say why); the
    // list itself refuses everything.
    //
    // Runs on the window thread only. The editor's dialogs call it directly;
    // a worker thread (the import) must reach it through the program's
    // worker bridge, which makes the call on the window thread and waits for
    // it, so the sender reads accepted and message afterwards.
    int SubmitRow(RowRequest& request, const Row& row) override;

    // A new record id: a random UUID as 32 lower-case hexadecimal digits.
    static std::string NewObjectId();

    // The commands as the buttons run them.
    void moveUp();
    void moveDown();

    bool isModified() const { return m_modified; }
    const QString& title() const { return m_title; }
    const QString& countTextShown() const { return m_countText; }
    // Ids of the rows deleted since the last save, in the order deleted.
    const std::vector<std::string>& deletedIds() const { return m_deletedIds; }
    const QStringList& priorityNames() const { return m_priorityNames; }

    int rowCount() const override;
    // How many rows the list shows: fewer than rowCount while a search
    // stands.
    int shownRowCount() const;
    std::string cellText(int row, int column) const;
    // The selected rows, ascending.
    std::vector<int> selectedRows() const;
    // The first selected row, or -1.
    int firstSelectedRow() const;
    // Selects exactly the given rows; a search that hides one of them is
    // emptied first.
    void selectRows(const std::vector<int>& rows);
    void selectOnly(int row) { selectRows({row}); }

    QTableView* listView() const { return m_view; }
    QPushButton* button(Button which) const;
    QLabel* countBand() const { return m_countBand; }
    // The search field; hidden unless the editor searches.
    CSearchField* searchField() const { return m_search; }
    // The red line under the count band; hidden while it says nothing.
    QLabel* countWarning() const { return m_countWarning; }

protected:
    CScheduleTask& task() const { return m_task; }
    // The base title; set before the window opens.
    void setTitle(const QString& title) { m_title = title; }
    // Show the Modify or the Import button when the window opens.
    void setShowModify(bool show) { m_showModify = show; }
    void setShowImport(bool show) { m_showImport = show; }
    // After the deleted records have left the task.
    void clearDeletedIds() { m_deletedIds.clear(); }
    // A new button in the column, placed before an existing one.
    QPushButton* insertButton(const QString& text, Button before);
    // Puts a button of the column before another one.
    void moveButton(Button button, Button before);
    // Shows text in red under the count band; empty hides the line.
    void setCountWarning(const QString& text);
    // Runs action 500 ms after the window has opened, once, if the list
    // has no rows then.
    void openByItselfWhenEmpty(std::function<void()> action);

    // Shows the search field, which looks at these columns.
    void setSearchColumns(std::vector<int> columns);

    void setColumns(std::vector<CListEditorModel::Column> columns);
    // Let the last visible column take the rest of the list's width.
    void stretchLastColumn();
    // Shows rows kept by the editor instead of the ordinary store.
    void setRows(CListRows& rows);
    CListEditorModel& model() const { return *m_model; }

    // Fills the ordinary store in one go: fill receives it emptied.
    void loadRows(const std::function<void(CListEditorRows& rows)>& fill);
    // The ordinary store.
    int appendRow(Row cells, std::unique_ptr<CQZObject> attached = nullptr);
    void setCellText(int row, int column, std::string text);
    // The row's own record, or none.
    CQZObject* attached(int row) const;
    // Replaces the records of list by copies of the rows' own records of
    // type T, each with its row's position as index (saving editors whose
    // rows carry their records).
    template <class T>
    void replaceByRowRecords(CQZObjectList& list) const
    {
        CRecordOrder::ReplaceInOrder<T>(list, rowCount(), [this](int row) { return attached(row); });
    }
    // Column column of row n becomes the text of n + 1, for every row.
    void renumberRows(int column);
    // Scrolls to the row; a search that hides it is emptied first.
    void makeVisible(int row);

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void addButton(Button button, const QString& text);
    // The text of the count band: the editor's count, or while a search
    // stands how many of the rows are shown.
    QString countBandText() const;
    void searchFor(const QString& text);
    // Rows of the list view (as shown) and of the store.
    std::vector<int> selectedShownRows() const;
    void selectShownRows(const std::vector<int>& shown);
    void swapShownRows(int a, int b);
    // Empties a search that hides the row of the store.
    void revealRow(int row);
    void paintSaveButton();
    // Saves the input data file; says why when it cannot.
    bool saveTaskData();

    CScheduleTask& m_task;
    // The task's data as last loaded or saved (input.xml's bytes).
    std::string m_savedData;
    QString m_title;
    QString m_countText;
    std::vector<std::string> m_deletedIds;
    QStringList m_priorityNames;
    bool m_modified = false;
    bool m_showModify = false;
    bool m_showImport = false;
    bool m_initialized = false;
    std::function<void()> m_whenEmpty;

    CListEditorRows m_ownRows;
    CListEditorModel* m_model = nullptr;
    CListFilterModel* m_filter = nullptr;
    QTableView* m_view = nullptr;
    CSearchField* m_search = nullptr;
    QLabel* m_countBand = nullptr;
    QLabel* m_countWarning = nullptr;
    QVBoxLayout* m_buttonColumn = nullptr;
    std::vector<QPushButton*> m_buttons; // indexed by Button
};
