#include "gui/results/DivisionChartView.h"

#include "gui/render/ChartImage.h"
#include "core/DivisionChartFigures.h"
#include "gui/common/MessageBox.h"
#include "base/task/ScheduleTask.h"
#include "gui/common/UICore.h"

#include <QApplication>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

CDivisionChartView::CDivisionChartView(const CScheduleTask& task, QWidget* parent)
    : QWidget(parent),
      m_figures(std::make_unique<CDivisionChartFigures>(task)),
      m_folder(task.GetTaskInfo().GetTaskFolder())
{
    m_kindChooser = new QComboBox(this);
    m_kindChooser->addItem(QStringLiteral("平均分"), static_cast<int>(CDivisionChart::Kind::Averages));
    m_kindChooser->addItem(QStringLiteral("男女生人数"), static_cast<int>(CDivisionChart::Kind::Headcount));
    m_kindChooser->addItem(QStringLiteral("分数分布"), static_cast<int>(CDivisionChart::Kind::Distribution));
    m_measureChooser = new QComboBox(this);
    m_measureChooser->addItem(QStringLiteral("总分"), QVariant::fromValue(CDivisionChartFigures::kTotal));
    for (std::size_t k = 0; k < m_figures->GetSubjectCount(); ++k)
        m_measureChooser->addItem(QString::fromStdString(m_figures->GetSubjectNames()[k]), QVariant::fromValue(k));
    // The categories of the condition columns and score bands, when the
    // task has any.
    m_categoryChooser = new QComboBox(this);
    m_categoryChooser->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    const std::vector<std::string>& categories = m_figures->GetCategoryTitles();
    for (std::size_t k = 0; k < categories.size(); ++k)
        m_categoryChooser->addItem(QString::fromStdString(categories[k]), QVariant::fromValue(k));
    if (!categories.empty())
        m_kindChooser->addItem(QStringLiteral("特别条件人数"), static_cast<int>(CDivisionChart::Kind::Category));
    m_categoryChooser->hide();
    m_saveButton = new QPushButton(QStringLiteral("保存图片…"), this);
    m_copyButton = new QPushButton(QStringLiteral("复制"), this);
    for (QPushButton* button : {m_saveButton, m_copyButton})
        button->setAutoDefault(false);

    m_view = new QChartView(this);
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->viewport()->installEventFilter(this);
    m_scrollBar = new QScrollBar(Qt::Horizontal, this);

    auto* controls = new QHBoxLayout();
    controls->addWidget(new QLabel(QStringLiteral("图表："), this));
    controls->addWidget(m_kindChooser);
    controls->addSpacing(12);
    m_measureLabel = new QLabel(QStringLiteral("科目："), this);
    controls->addWidget(m_measureLabel);
    controls->addWidget(m_measureChooser);
    controls->addWidget(m_categoryChooser);
    controls->addStretch(1);
    controls->addWidget(m_saveButton);
    controls->addWidget(m_copyButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(QMargins(6, 6, 6, 2));
    layout->setSpacing(4);
    layout->addLayout(controls);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_scrollBar);
    CUICore::instance()->SetAllChildWindowFont(this);

    connect(m_kindChooser, &QComboBox::currentIndexChanged, this, [this] { chooseChart(); });
    connect(m_measureChooser, &QComboBox::currentIndexChanged, this, [this] { chooseChart(); });
    connect(m_categoryChooser, &QComboBox::currentIndexChanged, this, [this] { chooseChart(); });
    connect(m_scrollBar, &QScrollBar::valueChanged, this, [this](int first) {
        if (CDivisionChart* shown = currentChart())
            shown->showClasses(first, m_scrollBar->pageStep());
    });
    connect(m_saveButton, &QPushButton::clicked, this, [this] { saveImage(); });
    connect(m_copyButton, &QPushButton::clicked, this, [this] { copyImage(); });
    chooseChart();
}

CDivisionChartView::~CDivisionChartView() = default;

CDivisionChart* CDivisionChartView::currentChart() const
{
    return static_cast<CDivisionChart*>(m_view->chart());
}

void CDivisionChartView::showChart(CDivisionChart::Kind kind, std::size_t measure)
{
    const int kindIndex = m_kindChooser->findData(static_cast<int>(kind));
    const QSignalBlocker blockKind(m_kindChooser);
    const QSignalBlocker blockMeasure(m_measureChooser);
    const QSignalBlocker blockCategory(m_categoryChooser);
    m_kindChooser->setCurrentIndex(kindIndex);
    QComboBox* chooser = kind == CDivisionChart::Kind::Category ? m_categoryChooser : m_measureChooser;
    chooser->setCurrentIndex(std::max(0, chooser->findData(QVariant::fromValue(measure))));
    chooseChart();
}

CDivisionChart::Kind CDivisionChartView::currentKind() const
{
    return static_cast<CDivisionChart::Kind>(m_kindChooser->currentData().toInt());
}

std::size_t CDivisionChartView::currentMeasure() const
{
    const QComboBox* chooser = currentKind() == CDivisionChart::Kind::Category ? m_categoryChooser : m_measureChooser;
    return chooser->currentData().value<std::size_t>();
}

void CDivisionChartView::chooseChart()
{
    const CDivisionChart::Kind kind = currentKind();
    const bool categories = kind == CDivisionChart::Kind::Category;
    m_measureChooser->setEnabled(kind != CDivisionChart::Kind::Headcount);
    m_measureChooser->setVisible(!categories);
    m_categoryChooser->setVisible(categories);
    m_measureLabel->setText(categories ? QStringLiteral("类别：") : QStringLiteral("科目："));
    const std::size_t measure = currentMeasure();
    // The view hands the chart it showed back; the new one is its own.
    std::unique_ptr<QChart> previous(m_view->chart());
    auto* chart = new CDivisionChart(*m_figures, kind, measure);
    m_view->setChart(chart);
    connect(chart, &QChart::plotAreaChanged, this, [this] { fitClasses(); });
    fitClasses();
}

void CDivisionChartView::fitClasses()
{
    CDivisionChart* chart = currentChart();
    const int classes = chart ? chart->classCount() : 0;
    const qreal plotWidth = chart && chart->plotArea().width() > 0 ? chart->plotArea().width() : m_view->width() - 90;
    const int fit = std::max(1, static_cast<int>(plotWidth / kMinClassWidth));
    const int shown = std::min(std::max(classes, 1), fit);
    const QSignalBlocker block(m_scrollBar);
    m_scrollBar->setRange(0, std::max(0, classes - shown));
    m_scrollBar->setPageStep(shown);
    m_scrollBar->setSingleStep(1);
    m_scrollBar->setVisible(classes > shown);
    if (chart)
        chart->showClasses(m_scrollBar->value(), shown);
}

void CDivisionChartView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitClasses();
}

bool CDivisionChartView::eventFilter(QObject* watched, QEvent* event)
{
    // The wheel over the chart moves through the classes.
    if (watched == m_view->viewport() && event->type() == QEvent::Wheel && m_scrollBar->isVisible()) {
        QApplication::sendEvent(m_scrollBar, event);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QSize CDivisionChartView::sizeHint() const
{
    return QSize(900, 580);
}

void CDivisionChartView::saveImage()
{
    const CDivisionChart* chart = currentChart();
    const QString folder = QString::fromStdString(m_folder);
    // The heading names the file; a category's value or a subject's name
    // may hold characters no file name takes ("#住校:是", "美术/书法").
    QString stem = chart->heading();
    stem.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
    const QString path = CMessageBox::getSaveFileName(this, QStringLiteral("保存图片"),
                                                      QDir(folder).filePath(stem + QStringLiteral(".png")),
                                                      QStringLiteral("PNG 图片 (*.png);;SVG 图片 (*.svg)"));
    if (path.isEmpty())
        return;
    // A chart of its own, of every class, at the size of a picture.
    const CDivisionChart::Kind kind = currentKind();
    const std::size_t measure = currentMeasure();
    const QSize points = CChartImage::pictureSize(chart->classCount());
    if (!CChartImage::save(std::make_unique<CDivisionChart>(*m_figures, kind, measure, CChartImage::kPictureTextScale),
                           points * CChartImage::kPictureRatio, path, CChartImage::kPictureRatio))
        CMessageBox::error(this, QStringLiteral("图片未能保存：%1").arg(QDir::toNativeSeparators(path)));
}

void CDivisionChartView::copyImage()
{
    QApplication::clipboard()->setImage(CChartImage::render(*m_view));
}
