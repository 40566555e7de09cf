#pragma once

#include <QDialog>

#include <string>

class CObjectPickerModel;
class CQZObject;
class CQZObjectList;
class QLineEdit;
class QListView;

// Chooses one record of a task list (the students or the classes) from an
// icon list. Typing in "搜索" narrows the list to the records whose name,
// full pinyin (ZHANGSAN) or pinyin initials (ZS) contain the text.
class CObjectPickerDialog : public QDialog
{
    Q_OBJECT

public:
    // The picture shown with each record.
    enum class Kind
    {
        Students,
        Classes,
    };

    // selectId: the record to select when the picker opens; none when empty.
    CObjectPickerDialog(const CQZObjectList& list, Kind kind, const QString& caption, const std::string& selectId = {},
                        QWidget* parent = nullptr);
    ~CObjectPickerDialog() override;

    // The picker as a modal dialog: the record chosen, or none when cancelled.
    static CQZObject* pick(QWidget* parent, const CQZObjectList& list, Kind kind, const QString& caption,
                           const std::string& selectId = {});

    // "确定(&O)" and a double-click: closes with the selected record; with
    // none selected says so and stays open.
    void confirm();
    // "显示全部(&A)": empties the search field.
    void showAll();
    // Selects the record shown at row.
    void selectRow(int row);

    CQZObject* chosen() const { return m_chosen; }
    QLineEdit* searchEdit() const { return m_search; }
    QListView* listView() const { return m_view; }
    CObjectPickerModel* model() const { return m_model; }

private:
    CObjectPickerModel* m_model = nullptr;
    QListView* m_view = nullptr;
    QLineEdit* m_search = nullptr;
    CQZObject* m_chosen = nullptr;
};
