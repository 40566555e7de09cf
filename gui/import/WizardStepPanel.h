#pragma once

#include <QString>
#include <QWidget>

class QVBoxLayout;

// One step of a wizard: a white box with curved corners and a caption band
// on top ("1 准备好如下格式的EXCEL文件:"); the step's controls go into
// contentLayout(), below the band.
class CWizardStepPanel : public QWidget
{
    Q_OBJECT

public:
    explicit CWizardStepPanel(const QString& caption, QWidget* parent = nullptr);

    const QString& caption() const { return m_caption; }
    QVBoxLayout* contentLayout() const { return m_content; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int bandHeight() const;
    // The controls start below the band, which grows with the font.
    void placeContent();

    QString m_caption;
    QVBoxLayout* m_content = nullptr;
};
