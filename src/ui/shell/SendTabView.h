#pragma once

#include <QTabWidget>

namespace telvora {

// The work area of "短信群发": the plain send view in "普通发送", the personalised send
// from spreadsheet columns in "自定义发送".
class CSendTabView final : public QTabWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSendTabView)

public:
    // sendView goes into the first tab, customView into the second; null leaves a tab empty.
    CSendTabView(QWidget* sendView, QWidget* customView, QWidget* parent = nullptr);
    ~CSendTabView() override;

    QWidget* sendView() const { return m_sendView; }
    QWidget* customView() const { return m_customView; }

private:
    void onCurrentChanged(int index);

    QWidget* m_sendView;
    QWidget* m_customView;
};

} // namespace telvora
