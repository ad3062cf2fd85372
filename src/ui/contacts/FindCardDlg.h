#pragma once

#include <QDialog>
#include <QMap>
#include <string>

class QButtonGroup;
class QCheckBox;
class QDateEdit;
class QLineEdit;
class QRadioButton;

namespace telvora {

class CADODataBase;
class Prompter;
struct CardSearchCriteria;

// "客户搜索": turns the filled-in fields into the WHERE clause of a card search.
class CFindCardDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CFindCardDlg)

public:
    CFindCardDlg(CADODataBase& database, Prompter& prompter, long folderId, const QString& folderName,
        QWidget* parent = nullptr);

    // Builds the clause; closes with OK unless no condition was given.
    void search();
    const std::string& whereClause() const { return m_clause; }

    QLineEdit* textEdit(const QString& column) const { return m_texts.value(column); }
    QLineEdit* customEdit(const QString& column) const { return m_custom.value(column); }
    QDateEdit* birthdayFrom() const { return m_from; }
    QDateEdit* birthdayTo() const { return m_to; }
    QCheckBox* rangeBox() const { return m_range; }
    QCheckBox* monthDayBox() const { return m_monthDay; }
    QCheckBox* monthBox() const { return m_month; }
    QRadioButton* anyButton() const { return m_any; }
    QRadioButton* allFoldersButton() const { return m_allFolders; }

private:
    CardSearchCriteria criteria() const;

    Prompter& m_prompter;
    long m_folderId;
    QMap<QString, QLineEdit*> m_texts;
    QMap<QString, QLineEdit*> m_custom;
    QButtonGroup* m_sex;
    QDateEdit* m_from;
    QDateEdit* m_to;
    QCheckBox* m_range;
    QCheckBox* m_monthDay;
    QCheckBox* m_month;
    QRadioButton* m_any;
    QRadioButton* m_allFolders;
    std::string m_clause;
};

} // namespace telvora
