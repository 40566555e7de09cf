#pragma once

#include "gui/common/WorkerBridge.h"
#include "logic/lottery/LotteryRecord.h"

#include <QDialog>
#include <QString>

#include <future>
#include <memory>
#include <thread>

class CLotteryRun;
class CScheduleTask;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// "摇号分班": a lottery division in public. The seed is typed from a public
// draw (or drawn by the program) and stands in large type while it is read
// out; "开始摇号" divides and balances with it on a worker and saves the
// task, its report and the record; the record stays on screen. "验证"
// re-runs the recorded draw and says whether the task is the one it made;
// "打印公证记录" and "保存为 PDF" give the certificate to sign. After the
// division, "班主任抽签" draws which class each head teacher gets with a
// seed of its own and adds the draw to the record.
//
// The draw works on a copy of the task's input and cannot be stopped; the
// dialog does not close while it runs, and its destructor waits for it.
class CLotteryDialog : public QDialog
{
    Q_OBJECT

public:
    // school: for the certificate; may be empty.
    CLotteryDialog(CScheduleTask& task, const QString& school, QWidget* parent = nullptr);
    ~CLotteryDialog() override;

    // Whether a draw changed the task while the dialog was open.
    bool hasDrawn() const { return m_drawn; }
    bool isRunning() const { return m_running; }

    QLineEdit* seedEdit() const { return m_seed; }
    QLineEdit* workEdit() const { return m_work; }
    QLabel* seedBanner() const { return m_banner; }
    QPlainTextEdit* recordView() const { return m_record; }
    QPushButton* drawSeedButton() const { return m_drawSeed; }
    QPushButton* startButton() const { return m_start; }
    QPushButton* verifyButton() const { return m_verify; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* pdfButton() const { return m_pdf; }
    QLineEdit* teacherSeedEdit() const { return m_teacherSeed; }
    QPlainTextEdit* teacherList() const { return m_teachers; }
    QPushButton* teacherDrawButton() const { return m_teacherDraw; }

    void startDraw();
    void verify();
    void printCertificate();
    void saveCertificate();
    void drawTeachers();

public slots:
    void done(int result) override;

private:
    void showSeed(const QString& digits);
    void finishDraw();
    // Reads the record in the task folder, if any, and shows it.
    void loadRecord();
    void updateButtons();
    // Whether what is drawn can be saved into the task folder; tells why
    // not, before any seed is read out.
    bool canSave(const QString& what);

    CScheduleTask& m_task;
    QString m_school;
    bool m_seedDrawn = false;
    bool m_running = false;
    bool m_drawn = false;
    bool m_haveRecord = false;
    CLotteryRecord m_lastRecord;

    QLineEdit* m_seed = nullptr;
    QLineEdit* m_work = nullptr;
    QLabel* m_banner = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QPlainTextEdit* m_record = nullptr;
    QPushButton* m_drawSeed = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_verify = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_pdf = nullptr;
    QPushButton* m_close = nullptr;
    QLineEdit* m_teacherSeed = nullptr;
    QPushButton* m_drawTeacherSeed = nullptr;
    QPlainTextEdit* m_teachers = nullptr;
    QPushButton* m_teacherDraw = nullptr;

    std::unique_ptr<CLotteryRun> m_run;
    CWorkerBridge m_bridge{this};
    std::thread m_worker;
    std::future<void> m_workerDone;
};
