#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QTableWidget;

namespace telvora {

class CADODataBase;
class CSpreadsheetReader;
class Prompter;
struct CardField;
struct ColumnMapping;
enum class DuplicateRule;

// "客户导入向导": the workbook and sheet, which column fills which field (a column headed
// with a field's caption is chosen at once), a preview, the target folder and what to do
// with numbers already in the address book. The import itself runs in the import dialog.
class CImportGuideDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CImportGuideDlg)

public:
    struct Choice
    {
        std::string path;
        std::size_t sheet = 0;
        std::vector<ColumnMapping> mapping;
        bool asSubfolder = true; // "导入为这个目录的子目录": a folder named after the file
        std::string folderName;
        DuplicateRule rule;
    };

    CImportGuideDlg(CADODataBase& database, Prompter& prompter, QWidget* parent = nullptr);
    ~CImportGuideDlg() override;

    // Reads the workbook; false (told) when it cannot be read.
    bool openFile(const QString& path);
    void selectSheet(int index);
    // Chooses the column (-1: none) for the field of row in the mapping list.
    void mapField(int row, int column);
    // Closes with OK unless the phone has no column.
    void finish();
    Choice choice() const;

    QComboBox* sheetBox() const { return m_sheets; }
    QComboBox* targetBox() const { return m_target; }
    QComboBox* duplicatesBox() const { return m_duplicates; }
    QTableWidget* mappingTable() const { return m_mapping; }
    QTableWidget* preview() const { return m_preview; }

private:
    void fillMapping();
    void fillPreview();

    Prompter& m_prompter;
    std::vector<CardField> m_fields;
    std::unique_ptr<CSpreadsheetReader> m_reader;
    std::vector<int> m_columns; // per field
    QString m_path;
    QLineEdit* m_file;
    QComboBox* m_sheets;
    QTableWidget* m_mapping;
    QTableWidget* m_preview;
    QComboBox* m_target;
    QComboBox* m_duplicates;
};

} // namespace telvora
