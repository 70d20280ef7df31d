#pragma once

#include <QDialog>

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

private:
    friend class FindBookTestAccess;
    struct Private;
    Private* d;
};
