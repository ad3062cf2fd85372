#pragma once

#include "app/ViewServices.h"

#include <QWidget>

class QLineEdit;
class QTabWidget;

namespace telvora {

class CIdleSendLogView;
class CRecordPage;
class CSMSLogFindView;
class CSMSLogStatiView;
class CSMSReciverLogView;
class CSendLogView;

// The page "短信记录": the five record pages as tabs and a search box whose text filters
// the list of the tab shown.
class CSMSLogTabView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSMSLogTabView)

public:
    explicit CSMSLogTabView(ViewServices dependencies, QWidget* parent = nullptr);
    ~CSMSLogTabView() override;

    QTabWidget* tabs() const { return m_tabs; }
    QLineEdit* searchEdit() const { return m_search; }
    CSendLogView* sendLog() const { return m_sent; }
    CIdleSendLogView* idleSendLog() const { return m_scheduled; }
    CSMSReciverLogView* replies() const { return m_replies; }
    CSMSLogFindView* finder() const { return m_finder; }
    CSMSLogStatiView* statistics() const { return m_statistics; }

private:
    void forwardSearchText();

    QLineEdit* m_search;
    QTabWidget* m_tabs;
    CSendLogView* m_sent;
    CIdleSendLogView* m_scheduled;
    CSMSReciverLogView* m_replies;
    CSMSLogFindView* m_finder;
    CSMSLogStatiView* m_statistics;
};

} // namespace telvora
