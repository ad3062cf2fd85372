#pragma once

// moc cannot parse what the standard library's <compare> pulls in.
#ifndef Q_MOC_RUN
#include "remind/CalendarTask.h"
#endif

#include <QDialog>
#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QTreeWidget;

namespace telvora {

class CADODataBase;
class HintBroadcaster;
class Prompter;

// "界面提醒": the tasks whose pop-up reminder is due, to snooze or to clear.
class CShowRemainDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CShowRemainDlg)

public:
    using Clock = std::function<DateTime()>;

    // clock tells the current time (the list shows what is due then; snoozes count from it).
    CShowRemainDlg(
        CADODataBase& database, Prompter& prompter, HintBroadcaster& hints, Clock clock, QWidget* parent = nullptr);
    ~CShowRemainDlg() override;

    QTreeWidget* list() const { return m_list; }
    QComboBox* spans() const { return m_spans; }
    QLabel* nameLabel() const { return m_name; }
    QLabel* startLabel() const { return m_start; }

    void onSnooze();
    void onClear();
    void onClearAll();

private:
    int selectedId() const;
    void showTask(int row);
    void removeSelected();

    CADODataBase& m_database;
    Prompter& m_prompter;
    HintBroadcaster& m_hints;
    Clock m_clock;
    QTreeWidget* m_list;
    QLabel* m_name;
    QLabel* m_start;
    QComboBox* m_spans;
    std::vector<CalendarTask> m_tasks;
};

} // namespace telvora
