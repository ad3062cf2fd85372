#pragma once

#include <QDate>
#include <QTreeView>

class QStandardItemModel;

namespace telvora {

// A two-column name/value list of text and date items, each found again by its key. A
// date item may hold no date (a null QDate); its editor takes "yyyy/MM/dd" through an
// input mask and an all-blank entry clears it.
class CPropertyGrid final : public QTreeView
{
    Q_DISABLE_COPY_MOVE(CPropertyGrid)

public:
    explicit CPropertyGrid(QWidget* parent = nullptr);
    ~CPropertyGrid() override;

    void addTextItem(const QString& key, const QString& caption, const QString& value = QString());
    void addDateItem(const QString& key, const QString& caption, const QDate& value = QDate());

    QStringList keys() const;
    bool isDateItem(const QString& key) const;
    QString text(const QString& key) const;
    QDate date(const QString& key) const;
    void setText(const QString& key, const QString& value);
    void setDate(const QString& key, const QDate& value);
    // The value cell of key, e.g. to open its editor.
    QModelIndex valueIndex(const QString& key) const;

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }

private:
    void addItem(const QString& key, const QString& caption, const QVariant& value, bool isDate);

    QStandardItemModel* m_model;
    bool m_readOnly = false;
};

} // namespace telvora
