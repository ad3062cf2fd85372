#pragma once

#include "records/RecordPage.h"
#include "widgets/ReportModel.h"

#include <QHash>
#include <QPair>
#include <QVector>
#include <vector>

class QCheckBox;
class QHBoxLayout;
class QMenu;
class QPushButton;

namespace telvora {

class CSMSDetailDlg;
struct SendRecord;
struct SheetQuery;

// What the sent and the scheduled list have in common: loading, copying, the detail
// dialog, grouping, and the context menu.
class CSendRecordListView : public CRecordPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSendRecordListView)

public:
    ~CSendRecordListView() override;

    ReportView* listView() const override { return m_list; }
    QCheckBox* dateGroupCheck() const { return m_byDate; }
    QCheckBox* typeGroupCheck() const { return m_byType; }
    // The context menu as it opens on a right click.
    QMenu* contextMenu();

public slots:
    void reload();
    void onCopyContent();
    void onViewDetail();
    // "继续发送": posts the numbers of an interrupted send that never went out.
    void onResume();
    virtual void onDelete() = 0;
    virtual void onClear() = 0;
    // Every record of the list's kind from the database, whatever the list shows.
    void onExport();

signals:
    // The window-modal detail dialog was opened; its result is handled when it finishes.
    void detailDialogOpened(CSMSDetailDlg* dialog);

protected:
    enum Column { ColId = 0, ColType = 2, ColTime = 3, ColContent = 6, ColDay = 7 };

    CSendRecordListView(ViewServices dependencies, QWidget* parent);

    // The list's columns after the hidden "PID"; set before the first load.
    void setColumns(const QVector<ReportColumn>& columns);
    QPushButton* addButton(const QString& caption);
    virtual std::vector<SendRecord> records() = 0;
    virtual SheetQuery exportQuery() const = 0;
    virtual QStringList cells(const SendRecord& record, int position) = 0;
    virtual void addMenuItems(QMenu* menu) = 0;
    virtual void handOver(const CSMSDetailDlg& dialog) = 0;
    // Deletes the records (and their details) and removes their rows.
    void deleteRecords(const QVector<qint64>& ids);
    // The focused row's record id, or 0 after telling the user to pick one.
    long focusedRecord();
    // The type text, marked for a send that stopped before every number was answered.
    QString typeText(const SendRecord& record) const;
    // Deleting the record a send is writing would lose its numbers.
    bool refuseWhileSending();

private:
    void onDetailFinished(CSMSDetailDlg* dialog, int result);
    void regroup(int column, bool checked);
    void onHint(int hint);

    ReportView* m_list;
    QCheckBox* m_byDate;
    QCheckBox* m_byType;
    QHBoxLayout* m_buttons;
    QMenu* m_menu = nullptr;
    // Interrupted records of the last load: rows at 0 (not posted) and 2 (unknown).
    QHash<qint64, QPair<long, long>> m_interrupted;
};

} // namespace telvora
