#include "shell/WorkArea.h"

#include <QLabel>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

namespace telvora {

QWidget* CWorkArea::placeholder(QWidget* parent)
{
    auto* label = new QLabel(QString::fromUtf8(CWorkArea::kUnavailable), parent);
    label->setAlignment(Qt::AlignCenter);
    label->setEnabled(false);
    return label;
}

CWorkArea::CWorkArea(QVector<PageRow> pages, QWidget* parent)
    : QStackedWidget(parent)
{
    for (PageRow& row : pages)
        m_pages.append(Page {std::move(row)});
}

CWorkArea::~CWorkArea() = default;

QStringList CWorkArea::captions() const
{
    QStringList result;
    for (const Page& page : m_pages)
        result.append(page.row.caption);
    return result;
}

int CWorkArea::indexOf(const QString& caption) const
{
    const auto it = std::find_if(
        m_pages.cbegin(), m_pages.cend(), [&caption](const Page& page) { return page.row.caption == caption; });
    return it == m_pages.cend() ? -1 : static_cast<int>(it - m_pages.cbegin());
}

const CWorkArea::Page* CWorkArea::find(const QString& caption) const
{
    const int index = indexOf(caption);
    return index < 0 ? nullptr : &m_pages[index];
}

bool CWorkArea::SwitchPage(const QString& caption)
{
    const int index = indexOf(caption);
    if (index < 0)
        return false;
    Page& page = m_pages[index];
    if (!page.splitter)
        create(page);
    setCurrentWidget(page.splitter);
    emit pageSwitched(caption);
    return true;
}

void CWorkArea::create(Page& page)
{
    const PageRow& row = page.row;
    page.splitter = new QSplitter(Qt::Horizontal, this);
    page.splitter->setObjectName(row.caption);
    page.splitter->setChildrenCollapsible(false);
    // A page still to come says so rather than show an empty work area.
    if (!row.view) {
        page.view = placeholder(page.splitter);
        page.splitter->addWidget(page.view);
        addWidget(page.splitter);
        return;
    }
    if (row.leftWidth > 0) {
        page.left = row.left ? row.left(page.splitter) : placeholder(page.splitter);
        page.left->setMinimumWidth(row.leftMinimum);
        page.splitter->addWidget(page.left);
        page.left->setVisible(!row.leftHidden);
    }
    if (row.top) {
        // The top row and the view share the right pane; only the view grows.
        auto* right = new QWidget(page.splitter);
        auto* box = new QVBoxLayout(right);
        box->setContentsMargins(0, 0, 0, 0);
        box->setSpacing(0);
        page.view = row.view(right);
        page.top = row.top(right, page.view);
        page.top->setFixedHeight(row.topHeight);
        box->addWidget(page.top);
        box->addWidget(page.view, 1);
        page.splitter->addWidget(right);
    } else {
        page.view = row.view(page.splitter);
        page.splitter->addWidget(page.view);
    }
    page.splitter->setStretchFactor(page.splitter->count() - 1, 1);
    if (page.left)
        page.splitter->setSizes({row.leftWidth, qMax(width() - row.leftWidth, 1)});
    addWidget(page.splitter);
}

QString CWorkArea::currentPage() const
{
    const QWidget* current = currentWidget();
    return current ? current->objectName() : QString();
}

QWidget* CWorkArea::view(const QString& caption) const
{
    const Page* page = find(caption);
    return page ? page->view : nullptr;
}

QWidget* CWorkArea::leftPane(const QString& caption) const
{
    const Page* page = find(caption);
    return page ? page->left : nullptr;
}

QWidget* CWorkArea::topRow(const QString& caption) const
{
    const Page* page = find(caption);
    return page ? page->top : nullptr;
}

void CWorkArea::showLeftPane(bool shown)
{
    const Page* page = find(currentPage());
    if (!page || !page->left || page->left->isHidden() != shown)
        return;
    page->left->setVisible(shown);
    if (shown)
        page->splitter->setSizes({page->row.leftWidth, qMax(page->splitter->width() - page->row.leftWidth, 1)});
}

QStringList CWorkArea::pageDocks() const
{
    QStringList result;
    for (const Page& page : m_pages) {
        for (const QString& dock : page.row.docks) {
            if (!result.contains(dock))
                result.append(dock);
        }
    }
    return result;
}

QStringList CWorkArea::currentDocks() const
{
    const Page* page = find(currentPage());
    return page ? page->row.docks : QStringList();
}

} // namespace telvora
