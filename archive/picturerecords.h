#pragma once

#include "clientdataset.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The dialogs the picture operations need. The archive window uses the real ones; tests answer
// them.
class PictureDialogs
{
public:
    virtual ~PictureDialogs() = default;
    // A file to import or a name to export to; empty when the user cancels. filter is in the
    // "description|pattern|description|pattern" form the texts are written in (may be empty).
    virtual QString openPictureFile(const QString& filter) = 0;
    virtual QString savePictureFile(const QString& filter) = 0;
    // The memo editor on the dataset's current row: true with the confirmed text.
    virtual bool editMemo(ClientDataSet& images, QString& memo) = 0;
};

// QFileDialog and the memo editor window.
class DefaultPictureDialogs : public PictureDialogs
{
public:
    QString openPictureFile(const QString& filter) override;
    QString savePictureFile(const QString& filter) override;
    bool editMemo(ClientDataSet& images, QString& memo) override;
};

// The picture rows of t_tooth and the operations the archive window offers on them. Every
// operation takes the keys of the selected (or shown) thumbnails in display order and works on
// the archive's picture dataset; the archive refreshes its view when an operation says so.
class PictureRecords
{
public:
    PictureRecords(ClientDataSet& images, PictureDialogs& dialogs);

    // The picture dataset's provider: the three statements, pictures read on demand.
    static void configureProvider(DataSetProvider& provider);
    static const char* const kInsertSql;
    static const char* const kModifySql;
    static const char* const kDeleteSql;

    // Stores a new unassigned picture of a patient in one transaction with the ToothID
    // counter; returns the new key. Throws DbError; the caller's dataset keeps no pending row.
    int storeNewPicture(int patientId, const QByteArray& bigImage, const QString& fileExt,
                        const QByteArray& smallImage);

    enum class ImportResult
    {
        Cancelled,
        Refused,
        Stored,
        StoreFailed
    };
    // Stored and StoreFailed: the archive shows the patient's unassigned pictures again.
    ImportResult ImportImageFile(int patientId);
    // Imports one file without asking for it (the dialog step is ImportImageFile's).
    ImportResult importFile(int patientId, const QString& path);

    void ExportSelectedImage(const QList<int>& selected);
    // True when pictures were deleted or filed: the archive re-runs its query and re-marks.
    bool DeleteSelectedImages(const QList<int>& selected);
    bool DeleteAllShownImages(const QList<int>& shown);
    bool AssignSelectedToTooth(const QList<int>& selected, int toothNumber);
    // True when the memo was stored: the archive rebuilds that thumbnail's caption line.
    bool EditSelectedImageMemo(const QList<int>& selected);

    static void DeleteImageRecord(int interId);
    static void SetImageTooth(int interId, int toothNumber);

    // After an export or a memo edit the archive lists its pictures by date.
    bool orderedByDate() const { return m_orderedByDate; }

private:
    bool restrictTo(int interId);

    ClientDataSet& m_images;
    PictureDialogs& m_dialogs;
    bool m_orderedByDate = false;
};

// A picture dataset with its provider set up, for code that stores pictures on its own.
struct PictureDataSet
{
    PictureDataSet()
    {
        PictureRecords::configureProvider(provider);
        images.setProvider(&provider);
    }
    DataSetProvider provider;
    ClientDataSet images;
};
