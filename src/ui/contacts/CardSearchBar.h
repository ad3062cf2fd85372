#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace telvora {

// The row above the card list: a quick filter over the rows shown and the button that
// opens the advanced search.
class CCardSearchBar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCardSearchBar)

public:
    explicit CCardSearchBar(QWidget* parent = nullptr);
    ~CCardSearchBar() override;

    QLineEdit* searchEdit() const { return m_text; }
    QPushButton* advancedButton() const { return m_advanced; }

signals:
    void searchTextChanged(const QString& text);
    void advancedSearchRequested();

private:
    QLineEdit* m_text;
    QPushButton* m_advanced;
};

} // namespace telvora
