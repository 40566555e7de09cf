#pragma once

#include "logic/editing/RowRequest.h"
#include "logic/session/SheetImport.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPixmap>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CImportReceiver;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// "导入": reads the first worksheet of a spreadsheet file (.xlsx, .xls or
// .csv) and hands its rows to a list editor, one at a time, through the
// editor's SubmitRow: the header row first (RowMode::Header), then every
// record row (RowMode::Add), all quiet. The editor decides which columns it
// reads and which rows it takes; the wizard knows nothing about them.
//
// Three steps on the window: a picture of what the sheet should look like,
// choosing the file, and the import with its progress. The file is read on
// a worker thread, which hands the rows over in batches through a worker
// bridge and waits for the editor's answers, so the editor is only ever
// touched on the window thread; the window takes a batch's rows one by one
// for a few hundredths of a second at a time, so it stays responsive. Before the first row the editor is told to remember its
// rows (BeginImport).
//
// The import can be stopped between two rows, but not in its first half
// second: the start button turns into the stop button under the pointer,
// and the second click of a double-click is no stop. A stopped or failed
// import says how many of the sheet's rows were taken and asks whether to
// keep them; No, or an import that took none, puts the editor's rows back
// (UndoImport). A successful import closes the wizard with "导入成功", the
// number of rows taken and the editor's note; one that took no row says so and puts the rows back.
class CImportWizardDialog : public QDialog
{
    Q_OBJECT

public:
    CImportWizardDialog(CImportReceiver& receiver, QWidget* parent = nullptr);
    ~CImportWizardDialog() override;

    // Set before the window opens: the window title ("导入" unless set),
    // the picture of a sample sheet (a file or a resource; none shows when
    // it cannot be loaded), and the column name that marks the header row
    // when a title row stands above it (empty: the first row is the header).
    void setTitle(const QString& title);
    void setSamplePicture(const QString& path);
    void setHeaderName(const std::string& name) { m_headerName = name; }
    // What a row is called in the messages ("数据" unless set), and the
    // word that counts it ("条" unless set): "共导入 3 名学生".
    void setRecordName(const QString& name) { m_recordName = name; }
    void setRecordUnit(const QString& unit) { m_recordUnit = unit; }

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
    // window waits until it has let go of the file. Returns the run.
    std::unique_ptr<Run> stop();
    // A run that did not finish (failure: why, empty when stopped): says
    // how many rows were taken and asks whether to keep them; puts the
    // receiver's rows back unless they are kept.
    void settle(const Run& run, const QString& failure);
    // Rows the receiver has taken since the import started.
    int rowsTaken() const;
    // On the window thread, once the worker has ended on its own.
    void finishRun(int serial);
    // Whether serial is the import running now.
    bool isCurrent(int serial) const;
    // The worker.
    void read(Run* run, const std::string& path);
    // Hands rows from the front of the batch to the receiver on the window
    // thread and waits; erases those taken, answer is the receiver's reply
    // to the last of them. False when the import was stopped meanwhile.
    bool handOver(Run* run, RowMode mode, std::vector<CSheetImport::Row>& rows, RowRequest& answer);
    void showIdle();

    CImportReceiver& m_receiver;
    std::string m_headerName;
    QString m_recordName = QStringLiteral("数据");
    QString m_recordUnit = QStringLiteral("条");
    QElapsedTimer m_started; // of the running import
    int m_rowsBefore = 0;    // the receiver's rows when it started
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
