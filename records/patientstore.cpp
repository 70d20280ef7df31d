#include "patientstore.h"

#include "clientdataset.h"
#include "dberror.h"
#include "dmdata.h"

#include <QStringList>

namespace PatientStore {

void configurePatientProvider(DataSetProvider& provider)
{
    provider.setUpdateStatements(
        QStringLiteral(
            "update t_patient set "
            "FName=:FName,FSexID=:FSexID,FCard=:FCard,FBookID=:FBookID,FHome_Tel=:FHome_Tel,"
            "FHome_Addr=:FHome_Addr,FIDCard=:FIDCard,FMobile=:FMobile,FQQ=:FQQ,FEmail=:FEmail,"
            "FHome_Postcode=:FHome_Postcode,FCompany_Tel=:FCompany_Tel, "
            "FCompany_Addr=:FCompany_Addr,FCompany_postcode=:FCompany_postcode,FJob=:FJob,"
            "FWebSite=:FWebSite,FNation=:FNation,FBloodType=:FBloodType,FMemo=:FMemo,"
            "FCountry=:FCountry,FCreateDate=:FCreateDate,FAge=:FAge,FBirthday=:FBirthday, "
            "FFirst_Treating_Date=:FFirst_Treating_Date,FFirst_Doctor=:FFirst_Doctor,"
            "FNouse_Medicine=:FNouse_Medicine,FPicture=:FPicture,FFileExt=:FFileExt where "
            "FInterID=:FInterID"),
        QStringLiteral(
            "insert into "
            "t_patient(FInterID,FName,FSexID,FCard,FBookID,FHome_Tel,FHome_Addr,FIDCard,FMobile,"
            "FQQ,FEmail,FHome_Postcode,FCompany_Tel, "
            "FCompany_Addr,FCompany_postcode,FJob,FWebSite,FNation,FBloodType,FMemo,FCountry,"
            "FCreateDate,FAge,FBirthday,FFirst_Treating_Date,FFirst_Doctor,FNouse_Medicine,"
            "FPicture,FFileExt) "
            "values(:FInterID,:FName,:FSexID,:FCard,:FBookID,:FHome_Tel,:FHome_Addr,:FIDCard,"
            ":FMobile,:FQQ,:FEmail,:FHome_Postcode,:FCompany_Tel, "
            ":FCompany_Addr,:FCompany_postcode,:FJob,:FWebSite,:FNation,:FBloodType,:FMemo,"
            ":FCountry,:FCreateDate,:FAge,:FBirthday, "
            ":FFirst_Treating_Date,:FFirst_Doctor,:FNouse_Medicine,:FPicture,:FFileExt)"),
        QStringLiteral("delete from t_patient  where FInterID=:FInterID "));
}

void configureTreatingProvider(DataSetProvider& provider)
{
    provider.setUpdateStatements(
        QStringLiteral("update t_treating set "
                       "FDescription=:FDescription,FTreating=:FTreating,FEffectDesc=:FEffectDesc,"
                       "FDate=:FDate,FPatientID=:FPatientID,FDoctorID=:FDoctorID where "
                       "FInterID=:FInterID"),
        QStringLiteral("insert into "
                       "t_treating(FInterID,FDescription,FTreating,FEffectDesc,FDate,FPatientID,"
                       "FDoctorID) values(:FInterID,:FDescription,:FTreating,:FEffectDesc,:FDate,"
                       ":FPatientID,:FDoctorID)"),
        QStringLiteral("delete from t_treating  where FInterID=:FInterID"));
}

void configureMedicineProvider(DataSetProvider& provider)
{
    provider.setUpdateStatements(
        QStringLiteral("update t_medicine set FSort=:FSort, "
                       "FMedicine=:FMedicine,FUnitID=:FUnitID,FQty=:FQty,FMemo=:FMemo,"
                       "FPatientID=:FPatientID where FInterID=:FInterID and FEntryID=:FEntryID "
                       "and FPatientID=:FPatientID"),
        QStringLiteral("insert into "
                       "t_medicine(FInterID,FSort,FEntryID,FMedicine,FUnitID,FQty,FMemo,"
                       "FPatientID) values(:FInterID,:FSort,:FEntryID,:FMedicine,:FUnitID,:FQty,"
                       ":FMemo,:FPatientID)"),
        QStringLiteral("delete from t_medicine  where FInterID=:FInterID and FEntryID=:FEntryID "
                       "and FPatientID=:FPatientID"));
}

QDate birthdayForAge(const QVariant& age, const QDate& today)
{
    const int years = age.isNull() ? 0 : age.toInt();
    const int year = today.year() - years;
    QDate d(year, today.month(), today.day());
    if (!d.isValid())
        d = QDate(year, today.month(), 28);
    return d;
}

QList<int> parseKeyList(const QString& list)
{
    QList<int> keys;
    for (const QString& part : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int key = part.trimmed().toInt(&ok);
        if (!ok || key <= 0)
            throw DbError(QStringLiteral("Invalid picture key '%1'").arg(part));
        keys << key;
    }
    return keys;
}

namespace {

void setKey(ClientDataSet& ds, const QVariant& key)
{
    if (ds.state() == ClientDataSet::State::Browse)
        ds.edit();
    ds.setValue(QStringLiteral("FInterID"), key);
    ds.post();
}

} // namespace

int savePatient(ClientDataSet& patient, const QString& selectedImages)
{
    patient.checkBrowseMode();
    const bool isNew = patient.value(QStringLiteral("FInterID")).toInt() == -1;
    const QList<int> pictures = isNew ? parseKeyList(selectedImages) : QList<int>();
    dmData->TransactionBegin();
    try {
        int key = patient.value(QStringLiteral("FInterID")).toInt();
        if (isNew) {
            key =
                dmData
                    ->GetScular(QStringLiteral("select FMaxID from t_maxID where FKey='PatientID'"))
                    .toInt();
            setKey(patient, key);
            dmData->ApplyUpdateCDSToDB_NoInternalTrans({&patient});
            dmData->ExcSQL_NoInternalTrans(
                QStringLiteral("update t_maxID set  FMaxID=FMaxID+1 where FKey='PatientID'"));
            if (!pictures.isEmpty()) {
                QStringList marks;
                QVariantList params{key};
                for (int p : pictures) {
                    marks << QStringLiteral("?");
                    params << p;
                }
                dmData->ExcSQL_NoInternalTrans(
                    QStringLiteral("update t_tooth set FPatientID=? where FInterID in (%1)")
                        .arg(marks.join(QLatin1Char(','))),
                    params);
            }
        } else {
            dmData->ApplyUpdateCDSToDB_NoInternalTrans({&patient});
        }
        dmData->TransactionCommit();
        return key;
    } catch (...) {
        dmData->TransactionRollBack();
        // The rolled-back counter will hand this key out again: the row must not keep it.
        if (isNew && !patient.isEmpty())
            setKey(patient, -1);
        throw;
    }
}

void deletePatient(int patientId)
{
    dmData->TransactionBegin();
    try {
        const QVariantList id{patientId};
        dmData->ExcSQL_NoInternalTrans(QStringLiteral("delete from t_patient where FInterID=?"),
                                       id);
        dmData->ExcSQL_NoInternalTrans(QStringLiteral("delete from t_tooth where FPatientID=?"),
                                       id);
        dmData->ExcSQL_NoInternalTrans(QStringLiteral("delete from t_medicine where FPatientID=?"),
                                       id);
        dmData->ExcSQL_NoInternalTrans(QStringLiteral("delete from t_treating where FPatientID=?"),
                                       id);
        dmData->TransactionCommit();
    } catch (...) {
        dmData->TransactionRollBack();
        throw;
    }
}

void assignTreatmentKey(ClientDataSet& treating, ClientDataSet& medicine, const QVariant& key)
{
    for (ClientDataSet* ds : {&medicine, &treating}) {
        ds->first();
        for (int r = 0; r < ds->recordCount(); ++r) {
            ds->setRecNo(r);
            setKey(*ds, key);
        }
        ds->first();
    }
}

void saveTreatment(ClientDataSet& treating, ClientDataSet& medicine)
{
    treating.checkBrowseMode();
    medicine.checkBrowseMode();
    if (treating.isEmpty())
        return;
    const bool isNew = treating.value(QStringLiteral("FInterID")).toInt() == -1;
    dmData->TransactionBegin();
    try {
        if (isNew) {
            const QVariant key = dmData->GetScular(
                QStringLiteral("select FMaxID from t_maxID where FKey='TreatingID'"));
            assignTreatmentKey(treating, medicine, key.toInt());
        }
        dmData->ApplyUpdateCDSToDB_NoInternalTrans({&medicine, &treating});
        if (isNew)
            dmData->ExcSQL_NoInternalTrans(
                QStringLiteral("update t_maxID set  FMaxID=FMaxID+1 where FKey='TreatingID'"));
        dmData->TransactionCommit();
    } catch (...) {
        dmData->TransactionRollBack();
        if (isNew)
            assignTreatmentKey(treating, medicine, -1);
        throw;
    }
}

void deleteTreatment(int treatingId, int patientId)
{
    dmData->TransactionBegin();
    try {
        dmData->ExcSQL_NoInternalTrans(QStringLiteral("delete from t_treating where  FInterID=?"),
                                       {treatingId});
        dmData->ExcSQL_NoInternalTrans(
            QStringLiteral("delete from t_medicine where FPatientID=? and FInterID=?"),
            {patientId, treatingId});
        dmData->TransactionCommit();
    } catch (...) {
        dmData->TransactionRollBack();
        throw;
    }
}

int nextEntryId(const ClientDataSet& medicine)
{
    int top = 0;
    const int col = medicine.fieldIndex(QStringLiteral("FEntryID"));
    if (col < 0)
        return 1;
    for (int r = 0; r < medicine.recordCount(); ++r)
        top = qMax(top, medicine.value(r, col).toInt());
    for (const DeltaRecord& d : medicine.delta()) {
        if (d.kind == UpdateKind::Delete)
            top = qMax(top, d.oldValue(QStringLiteral("FEntryID")).toInt());
    }
    return top + 1;
}

} // namespace PatientStore
