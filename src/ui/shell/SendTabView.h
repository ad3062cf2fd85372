#pragma once

#include <QTabWidget>

namespace telvora {

// The work area of "短信群发": the plain send view in "普通发送"; "自定义发送" (sends
// built from spreadsheet columns) is not available yet.
class CSendTabView final : public QTabWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSendTabView)

public:
    // sendView goes into the first tab; null leaves it empty.
    explicit CSendTabView(QWidget* sendView, QWidget* parent = nullptr);
    ~CSendTabView() override;

    QWidget* sendView() const { return m_sendView; }

private:
    void onCurrentChanged(int index);

    QWidget* m_sendView;
};

} // namespace telvora
