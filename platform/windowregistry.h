#pragma once

#include <QList>
#include <QString>
#include <functional>

class QWidget;

// What the main window needs of the image archive window.
class ImageArchiveWindow
{
public:
    virtual ~ImageArchiveWindow() = default;
    virtual void ShowThisPatientImages(int patientId, int positionIndex) = 0;
    // Fills the mode flag (true in observation-room mode) and the comma list of marked keys.
    virtual void GetSelectedImages_ObservationRoom(bool& isObservationRoomMode,
                                                   QString& selectedImages) = 0;
};

// What the main window needs of the patient record window.
class PatientRecordWindow
{
public:
    virtual ~PatientRecordWindow() = default;
    virtual void InitPatientData(int patientId) = 0;
};

// The one place through which the main window opens the windows of the other subsystems.
// Each subsystem fills its entries at start-up; an empty entry means the window does not
// exist yet and its action does nothing.
struct WindowRegistry
{
    // The image archive (an ImageArchiveWindow) for a patient.
    std::function<QWidget*(int patientId)> createTakePicture;
    // The patient record (a PatientRecordWindow); selectedImages is the comma list of
    // observation-room pictures to give to a new record, empty otherwise.
    std::function<QWidget*(int patientId, const QString& selectedImages)> createSeeOnePatient;
    // Modal find window: the chosen patient's key, -1 when nothing was chosen.
    std::function<int()> runFindBook;
    // Modal dictionary and user windows.
    std::function<void()> runBasicInfo;
    std::function<void()> runUser;
    // Modal comparison window for one to six picture keys.
    std::function<void(const QList<int>& keys)> runCompare;
    // Modal capture window, given the archive window it reports new pictures to.
    std::function<void(QWidget* archive, int patientId)> runCapture;
};

WindowRegistry& windowRegistry();
