#pragma once

#include "db/ADODataBase.h"
#include "records/RecordPage.h"

class QCheckBox;
class QMenu;
class QPushButton;

namespace telvora {

// "回复记录": the replies received, with the sender's card name and home region.
class CSMSReciverLogView final : public CRecordPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSMSReciverLogView)

public:
    explicit CSMSReciverLogView(ViewServices dependencies, QWidget* parent = nullptr);
    ~CSMSReciverLogView() override;

    ReportView* listView() const override { return m_list; }
    QCheckBox* dateGroupCheck() const { return m_byDate; }
    QMenu* contextMenu();

public slots:
    void reload();
    void onCopyContent();
    void onReply();
    void onDelete();
    void onClear();
    void onExport();
    void onLookUpCard();
    void onManualRefresh();
    void markRead(int row);

signals:
    // The sender's card is to be shown read-only.
    void cardRequested(long cardId);

protected:
    void showEvent(QShowEvent* event) override;

private:
    enum Column { ColId, ColIcon, ColName, ColPhone, ColRegion, ColTime, ColContent, ColDay, ColCard };

    void onHint(int hint);
    void openRegions();

    ReportView* m_list;
    QCheckBox* m_byDate;
    QMenu* m_menu = nullptr;
    CADODataBase m_regions;
    bool m_regionsTried = false;
    bool m_loaded = false;
};

} // namespace telvora
