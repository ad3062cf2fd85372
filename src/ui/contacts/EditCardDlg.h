#pragma once

#include "contacts/CardEditor.h"

#include <QDialog>
#include <QMap>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace telvora {

class CAppContext;
class CPropertyGrid;
class Prompter;

// "新增名片" / "修改客户": the basic columns of a card on one page and the active custom
// fields on the other. A date at 1900-01-01 shows empty and is stored as no date.
class CEditCardDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CEditCardDlg)

public:
    // A new card in folderId.
    CEditCardDlg(
        CAppContext& app, Prompter& prompter, long folderId, const QString& folderName, QWidget* parent = nullptr);
    // Editing cardId; readOnly disables saving.
    CEditCardDlg(CAppContext& app, Prompter& prompter, long cardId, bool readOnly, QWidget* parent = nullptr);
    ~CEditCardDlg() override;

    // Validates and saves; with "连续添加" the form empties and stays open.
    void save();
    // Something was saved (also while adding repeatedly).
    bool saved() const { return m_saved; }
    // The field catalogue was changed through "自定义字段管理".
    bool fieldsChanged() const { return m_fieldsChanged; }
    // Opens the folder picker; on OK its ticked folders replace the additional folders.
    void pickFolders();
    const std::vector<long>& additionalFolders() const { return m_extraFolders; }
    void setUpFields();

    QLineEdit* phoneEdit() const { return m_phone; }
    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* titleEdit() const { return m_title; }
    QRadioButton* femaleButton() const { return m_female; }
    QCheckBox* repeatBox() const { return m_repeat; }
    QPushButton* autoTitleButton() const { return m_autoTitle; }
    QPushButton* saveButton() const { return m_save; }
    QDateEdit* birthdayEdit() const { return m_birthday; }
    QPushButton* foldersButton() const { return m_pickFolders; }
    QPushButton* fieldSetupButton() const { return m_fieldSetup; }
    // The custom fields, keyed by column name.
    CPropertyGrid* customGrid() const { return m_customGrid; }

private:
    void build(const QString& folderName);
    void fill(const CardData& card);
    CardData collect() const;
    void updateTitle();
    void clearForNext();
    void copyToAdditionalFolders(long cardId);

    CAppContext& m_app;
    Prompter& m_prompter;
    CCardEditor m_editor;
    std::vector<CardField> m_custom;
    std::vector<long> m_extraFolders;
    long m_cardId = 0;
    long m_folderId = 0;
    bool m_newCard = true;
    bool m_saved = false;
    bool m_autoTitleOn = false;
    bool m_fieldsChanged = false;

    QLineEdit* m_phone = nullptr;
    QPushButton* m_pickFolders = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_title = nullptr;
    QPushButton* m_autoTitle = nullptr;
    QRadioButton* m_male = nullptr;
    QRadioButton* m_female = nullptr;
    QDateEdit* m_birthday = nullptr;
    QCheckBox* m_lunar = nullptr;
    QComboBox* m_status = nullptr;
    QMap<QString, QLineEdit*> m_texts; // basic text columns by name
    QPlainTextEdit* m_memos = nullptr;
    CPropertyGrid* m_customGrid = nullptr;
    QPushButton* m_fieldSetup = nullptr;
    QCheckBox* m_repeat = nullptr;
    QPushButton* m_save = nullptr;
};

} // namespace telvora
