#pragma once

#include <QDialog>

class QTreeWidget;

namespace telvora {

struct CustomPreview;

// "自定义短信发送预览": every message of a personalised send, long ones with their
// segments, and the totals beside them.
class CExcelPreviewDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CExcelPreviewDlg)

public:
    CExcelPreviewDlg(const CustomPreview& preview, QWidget* parent = nullptr);
    ~CExcelPreviewDlg() override;

    QTreeWidget* messageList() const { return m_messages; }
    QTreeWidget* totalsTree() const { return m_totals; }

private:
    QTreeWidget* m_messages;
    QTreeWidget* m_totals;
};

} // namespace telvora
