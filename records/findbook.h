#pragma once

#include "searchpattern.h"

#include <QDialog>

// The listing statement of the find window: every patient with a key above 0.
extern const QString kFindBaseSQL;

// The field a search looks in.
enum class FindField
{
    Name,
    Phone, // mobile or home telephone
    Card,
    Other // names, as Name
};

// The listing for a search text: all patients when the trimmed text is empty, else those whose
// field contains it (fuzzy) or equals it. The text is bound, never part of the statement.
BoundSql patientSearch(const QString& text, bool fuzzy, FindField field);

// Lists stored patients and narrows the list by name, telephone or card. Callers show it
// modally and read FindPatientID: the chosen patient's key, -1 when nothing was chosen.
class TfrmFindBook : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmFindBook(QWidget* parent = nullptr);
    ~TfrmFindBook() override;

    int FindPatientID = -1;

    // Convenience for callers: shows the window modally and returns FindPatientID.
    static int run(QWidget* parent = nullptr);

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void applyLanguage();
    void search();
    void btnShowAllClick();
    void gridDblClick();

    friend class FindBookTestAccess;
    struct Private;
    Private* d;
};
