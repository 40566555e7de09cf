#pragma once

#include "RowRequest.h"

#include <QDialog>
#include <QPixmap>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CListEditorDialog;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// "导入": reads the first worksheet of a spreadsheet file (.xlsx, .xls or
// .csv) and hands its rows one by one to a list editor through the
// editor's SubmitRow: the header row first (RowMode::Header), then every
// record row (RowMode::Add), all quiet. The editor decides which columns it
// reads and which rows it takes; the wizard knows nothing about them.
//
// Three steps on the window: a picture of what the sheet should look like,
// choosing the file, and the import with its progress. The file is read on
// a worker thread, which hands each row over through a worker bridge and
// waits for the editor's answer, so the editor is only ever touched on the
// window thread. The import can be stopped between two rows; the rows the
// editor took stay there as unsaved changes. A successful import closes the
// wizard with "导入成功"; a failure says why and leaves it open for another
// try.
class CImportWizardDialog : public QDialog
{
    Q_OBJECT

public:
    CImportWizardDialog(CListEditorDialog& receiver, QWidget* parent = nullptr);
    ~CImportWizardDialog() override;

    // Set before the window opens: the window title ("导入" unless set),
    // the picture of a sample sheet (a file or a resource; none shows when
    // it cannot be loaded), and the column name that marks the header row
    // when a title row stands above it (empty: the first row is the header).
    void setTitle(const QString& title);
    void setSamplePicture(const QString& path);
    void setHeaderName(const std::string& name) { m_headerName = name; }

    // "选择EXCEL文件": the chosen file goes into the path field.
    void chooseFile();
    // The start button: starts an import, or stops the one running.
    void startOrStop();
    bool isRunning() const { return m_run != nullptr; }

    // True when path names a file (not a folder).
    static bool IsExistingFile(const QString& path);

    const QPixmap& picture() const { return m_picture; }
    QPushButton* chooseButton() const { return m_chooseButton; }
    QLineEdit* pathEdit() const { return m_pathEdit; }
    QPushButton* startButton() const { return m_startButton; }
    QProgressBar* progressBar() const { return m_progress; }
    QPushButton* closeButton() const { return m_closeButton; }

    // "关闭", Escape and the close box: while an import runs, asks first.
    void reject() override;

private:
    struct Run;

    void start(const QString& path);
    // Stops the running import: the worker is released at once and the
    // window waits until it has let go of the file.
    void stop();
    // On the window thread, once the worker has ended on its own.
    void finishRun(int serial);
    // Whether serial is the import running now.
    bool isCurrent(int serial) const;
    // The worker.
    void read(Run* run, const std::string& path);
    // Hands one row to the receiver on the window thread and waits; false
    // when the import was stopped meanwhile.
    bool handOver(Run* run, RowMode mode, const std::vector<std::string>& cells, int percent);
    void showIdle();

    CListEditorDialog& m_receiver;
    std::string m_headerName;
    QString m_filePath;
    QPixmap m_picture;
    std::unique_ptr<Run> m_run;
    int m_runs = 0;

    QLabel* m_pictureLabel = nullptr;
    QPushButton* m_chooseButton = nullptr;
    QLineEdit* m_pathEdit = nullptr;
    QPushButton* m_startButton = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_closeButton = nullptr;
};
