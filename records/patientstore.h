#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

class ClientDataSet;
class DataSetProvider;

// The statements and composed writes behind the patient record window: the patient row, its
// treatments and their prescription lines. Every write commits whole or rolls back and throws.
namespace PatientStore {

void configurePatientProvider(DataSetProvider& provider);
void configureTreatingProvider(DataSetProvider& provider);
void configureMedicineProvider(DataSetProvider& provider);

// A date in the birth year of someone aged age today (empty age: 0); same month and day as
// today, 28 February for someone born in a non-leap year on a 29 February.
QDate birthdayForAge(const QVariant& age, const QDate& today = QDate::currentDate());

// Keys of a hand-over list "12,15,20"; throws on anything that is not a positive key.
QList<int> parseKeyList(const QString& list);

// Stores the patient's current row. A row whose FInterID is -1 gets the next PatientID key,
// the counter advances and the listed pictures move to the new patient, all in one
// transaction. Returns the patient's key. On failure the row's key is -1 again (new patient),
// nothing is stored and the error is thrown.
int savePatient(ClientDataSet& patient, const QString& selectedImages);

// Removes the patient, its pictures, prescription lines and treatments in one transaction.
void deletePatient(int patientId);

// Every line and the treatment row take key as FInterID; the cursors return to the first row.
void assignTreatmentKey(ClientDataSet& treating, ClientDataSet& medicine, const QVariant& key);

// Stores the current treatment and its lines; a treatment whose FInterID is -1 gets the next
// TreatingID key first. On failure the new treatment's rows carry -1 again.
void saveTreatment(ClientDataSet& treating, ClientDataSet& medicine);

void deleteTreatment(int treatingId, int patientId);

// One more than the largest line number held by the lines or by lines deleted but not yet
// stored, so that a line number is never used twice within a treatment.
int nextEntryId(const ClientDataSet& medicine);

} // namespace PatientStore
