#include "contacts/CardSearchBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace telvora {

CCardSearchBar::CCardSearchBar(QWidget* parent)
    : QWidget(parent)
    , m_text(new QLineEdit(this))
    , m_advanced(new QPushButton(QStringLiteral("高级查找"), this))
{
    m_text->setPlaceholderText(QStringLiteral("输入姓名、手机号码等任意内容"));
    m_text->setClearButtonEnabled(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QStringLiteral("客户查找："), this));
    layout->addWidget(m_text, 1);
    layout->addWidget(m_advanced);
    connect(m_text, &QLineEdit::textChanged, this, &CCardSearchBar::searchTextChanged);
    connect(m_advanced, &QPushButton::clicked, this, &CCardSearchBar::advancedSearchRequested);
}

CCardSearchBar::~CCardSearchBar() = default;

} // namespace telvora
