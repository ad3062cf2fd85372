#pragma once

#include <QStackedWidget>
#include <QStringList>
#include <QVector>
#include <functional>

class QSplitter;

namespace telvora {

// One row of the page table: what a page of the work area shows and how.
struct PageRow
{
    using Factory = std::function<QWidget*(QWidget* parent)>;
    // Made after the view, so that it can be wired to it.
    using TopFactory = std::function<QWidget*(QWidget* parent, QWidget* view)>;

    QString caption {};
    // The page's own view (the right pane); null: the page is not available yet.
    Factory view {};
    // The pane left of the view; null with a width: not available yet.
    Factory left {};
    // 0: the page has no left pane.
    int leftWidth = 0;
    int leftMinimum = 10;
    // The left pane stays hidden until the page asks for it (the send page's "添加客户").
    bool leftHidden = false;
    // A row of fixed height above the view (the address book's search bar); null: none.
    TopFactory top {};
    int topHeight = 0;
    // Docking panes shown while this page is current, by object name.
    QStringList docks {};
};

// The work area of the main window: one page at a time, each made from its row of the
// page table when it is first shown.
class CWorkArea final : public QStackedWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CWorkArea)

public:
    static constexpr const char* kUnavailable = "此功能尚未提供";

    explicit CWorkArea(QVector<PageRow> pages, QWidget* parent = nullptr);
    // What a page or pane that is not available yet shows.
    static QWidget* placeholder(QWidget* parent);
    ~CWorkArea() override;

    QStringList captions() const;
    // False (nothing changes) for an unknown caption.
    bool SwitchPage(const QString& caption);
    QString currentPage() const;
    // The page's view and its left pane; null until the page was first shown.
    QWidget* view(const QString& caption) const;
    QWidget* leftPane(const QString& caption) const;
    QWidget* topRow(const QString& caption) const;
    // Shows or hides the left pane of the current page, if it has one.
    void showLeftPane(bool shown);
    // Every docking pane some page shows, and those the current page shows.
    QStringList pageDocks() const;
    QStringList currentDocks() const;

signals:
    void pageSwitched(const QString& caption);

private:
    struct Page
    {
        PageRow row;
        QSplitter* splitter = nullptr;
        QWidget* view = nullptr;
        QWidget* left = nullptr;
        QWidget* top = nullptr;
    };

    int indexOf(const QString& caption) const;
    const Page* find(const QString& caption) const;
    void create(Page& page);

    QVector<Page> m_pages;
};

} // namespace telvora
