#pragma once

#include "windowregistry.h"

#include <QString>
#include <QWidget>
#include <functional>

class ClientDataSet;
class DataGrid;
class DataSetProvider;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

// One patient's record: personal data and photo, the current treatment with its prescription
// lines, and the list of earlier treatments. A key of -10 opens it for a new patient.
class TfrmSeeOnePatient : public QWidget, public PatientRecordWindow
{
    Q_OBJECT
public:
    explicit TfrmSeeOnePatient(int patientId, QWidget* parent = nullptr);
    // selectedImages: observation-room pictures that the new patient's first save takes over.
    TfrmSeeOnePatient(int patientId, const QString& selectedImages, QWidget* parent = nullptr);
    ~TfrmSeeOnePatient() override;

    void InitPatientData(int patientId) override;
    void ShowPatientPicture();
    void SetNewPatientMode(bool isNew);
    void ApplyLanguage();

    void OpenEmptyTreatment(int patientId);
    void LoadTreatmentHistory(int patientId);
    void LoadHistoryPrescriptions(int treatingId);
    void LoadTreatmentForEdit(int patientId, int treatingId);

    QString FStrArraySelectedImageIndex;

    // Chooses the photo file; a file dialog unless replaced. Returns "" when cancelled.
    std::function<QString(const QString& filter)> openPhotoDialog;

    ClientDataSet* cdsPatient = nullptr;
    ClientDataSet* cdsSex = nullptr;
    ClientDataSet* cdsDoctor = nullptr;
    ClientDataSet* cdsBloodType = nullptr;
    ClientDataSet* cdsUnit = nullptr;
    ClientDataSet* cdsMedicineList = nullptr;
    ClientDataSet* cdsTreating = nullptr;
    ClientDataSet* cdsMedicine = nullptr;
    ClientDataSet* cdsFangAnList = nullptr;
    ClientDataSet* cdsMedicineFangAn = nullptr;

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    friend class SeeOnePatientTestAccess;

    void buildPatientTab(QWidget* page);
    void buildTreatmentTab(QWidget* page);
    void buildHistoryTab(QWidget* page);
    void LoadLookups();
    void ReloadMedicineLookups();
    void openPatient(int patientId);
    void bindSexCombo();
    int language() const;

    void btnSaveClick();
    void btnDeleteClick();
    void btnImportClick();
    void btnNoteClick();
    void btnImageMgrClick();
    void btnSearchClick();
    void CheckPatientSaved(int patientId);

    void btnAddMedicineClick();
    void btnDeleteMedicineClick();
    void medicineCellButton(int row, int column);
    void btnNewTreatmentClick();
    void btnSaveTreatmentClick();
    void btnRefreshClick();
    void btnEditHistoryClick();
    void btnDeleteHistoryClick();

    DataSetProvider* dspPatient = nullptr;
    DataSetProvider* dspLookup = nullptr;
    DataSetProvider* dspTreating = nullptr;
    DataSetProvider* dspMedicine = nullptr;
    DataSetProvider* dspMedicineFangAn = nullptr;

    QTabWidget* PageControl1 = nullptr;
    QWidget* tsPatient = nullptr;
    QWidget* tsTreatment = nullptr;
    QWidget* tsHistory = nullptr;
    QTabWidget* PageControl2 = nullptr;

    QWidget* PicPanel = nullptr;
    QLabel* imgPatient = nullptr;
    QPushButton* btnImport = nullptr;
    QPushButton* btnNote = nullptr;
    QPushButton* btnImageMgr = nullptr;
    QPushButton* btnSearch = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnDelete = nullptr;

    QWidget* BasicInfo1 = nullptr;
    QLineEdit* edtName = nullptr;
    QComboBox* cmbSex = nullptr;
    QSpinBox* spnAge = nullptr;
    QLineEdit* edtIDCard = nullptr;
    QLineEdit* edtCard = nullptr;
    QLineEdit* edtBookID = nullptr;
    QComboBox* cmbBloodType = nullptr;
    QLineEdit* edtHomeTel = nullptr;
    QLineEdit* edtMobile = nullptr;
    QLineEdit* edtQQ = nullptr;
    QLineEdit* edtHomeAddr = nullptr;
    QWidget* Allergy = nullptr;
    QPlainTextEdit* memAllergy = nullptr;

    QWidget* PanelDiseaseDesc = nullptr;
    QDateEdit* dtpDate = nullptr;
    QComboBox* cmbDoctor = nullptr;
    QPlainTextEdit* memDescription = nullptr;
    QWidget* panelMedicine = nullptr;
    QPushButton* btnAddMedicine = nullptr;
    QPushButton* btnDeleteMedicine = nullptr;
    DataGrid* cxGrid1 = nullptr;
    QWidget* panelTreatment = nullptr;
    QPushButton* btnNewTreatment = nullptr;
    QPushButton* btnSaveTreatment = nullptr;
    QPlainTextEdit* memTreatment = nullptr;
    QAction* actAddMedicine = nullptr;
    QAction* actDeleteMedicine = nullptr;

    QPushButton* btnRefresh = nullptr;
    DataGrid* cxGrid3 = nullptr;
    QWidget* PanelDiseaseDesc1 = nullptr;
    QDateEdit* dtpDate1 = nullptr;
    QComboBox* cmbDoctor1 = nullptr;
    QPlainTextEdit* memDescription1 = nullptr;
    QWidget* panelMedicine1 = nullptr;
    DataGrid* cxGrid2 = nullptr;
    QPushButton* btnDeleteHistory = nullptr;
    QPushButton* btnEditHistory = nullptr;
    QWidget* panelTreatment1 = nullptr;
    QPlainTextEdit* memTreatment1 = nullptr;

    bool m_deleted = false;
};
