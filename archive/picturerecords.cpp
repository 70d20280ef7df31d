#include "picturerecords.h"

#include "clientdataset.h"
#include "dberror.h"
#include "filedialogfilter.h"
#include "dmdata.h"
#include "imagecodec.h"
#include "memo.h"
#include "messagebox.h"
#include "thumbnail.h"

#include <QDate>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>

const char* const PictureRecords::kInsertSql =
    "insert into t_tooth(FInterID,FPatientID,FPositionIndex,FToothIndex,FDate,FBigImage,"
    "FSmallImage,FMemo,FEffectDesc,FFileExt,FSmallFileExt) values(:FInterID,:FPatientID,"
    ":FPositionIndex,:FToothIndex,:FDate,:FBigImage,:FSmallImage,:FMemo,:FEffectDesc,:FFileExt,"
    ":FSmallFileExt)";
const char* const PictureRecords::kModifySql =
    "update t_tooth set FPatientID=:FPatientID,FPositionIndex=:FPositionIndex,FDate=:FDate,"
    "FMemo=:FMemo,FBigImage=:FBigImage,FSmallImage=:FSmallImage,FToothIndex=:FToothIndex,"
    "FSmallFileExt=:FSmallFileExt,FEffectDesc=:FEffectDesc,FFileExt=:FFileExt where "
    "FInterID=:FInterID";
const char* const PictureRecords::kDeleteSql = "delete from t_tooth  where FInterID=:FInterID ";

namespace {

int language()
{
    return dmData ? dmData->FLanguageIndex : 0;
}

// The text for the current language; empty for any other, where nothing is said.
QString say(const char* chinese, const char* english)
{
    const int lang = language();
    return lang == 1 ? QString::fromUtf8(chinese)
                     : (lang == 2 ? QString::fromUtf8(english) : QString());
}

void plain(const char* chinese, const char* english)
{
    const QString text = say(chinese, english);
    if (!text.isEmpty())
        ShowMessage(text);
}

void info(const char* chinese, const char* english)
{
    ShowInfo(say(chinese, english));
}

} // namespace

QString DefaultPictureDialogs::openPictureFile(const QString& filter)
{
    return QFileDialog::getOpenFileName(nullptr, QString(), QString(), fileDialogFilter(filter));
}

QString DefaultPictureDialogs::savePictureFile(const QString& filter)
{
    // The extension is added by the export itself, so the dialog must not add one.
    return QFileDialog::getSaveFileName(nullptr, QString(), QString(), fileDialogFilter(filter),
                                        nullptr, QFileDialog::DontConfirmOverwrite);
}

bool DefaultPictureDialogs::editMemo(ClientDataSet& images, QString& memo)
{
    TfrmMemo editor(&images);
    editor.exec();
    if (editor.FChanged)
        memo = editor.FMemo;
    return editor.FChanged;
}

// ---------------------------------------------------------------------------------------------

PictureRecords::PictureRecords(ClientDataSet& images, PictureDialogs& dialogs)
    : m_images(images), m_dialogs(dialogs)
{
}

void PictureRecords::configureProvider(DataSetProvider& provider)
{
    provider.setUpdateStatements(QString::fromUtf8(kModifySql), QString::fromUtf8(kInsertSql),
                                 QString::fromUtf8(kDeleteSql));
    // Thumbnails come with the listing; the full pictures only when one is shown.
    provider.setBlobsOnDemand(QStringLiteral("t_tooth"), QStringLiteral("FInterID"),
                              {QStringLiteral("FBigImage")});
}

int PictureRecords::storeNewPicture(int patientId, const QByteArray& bigImage,
                                    const QString& fileExt, const QByteArray& smallImage)
{
    try {
        dmData->TransactionBegin();
        // The counter holds the next free key; it moves only together with a stored row.
        const QVariant counter =
            dmData->GetScular(QStringLiteral("select FMaxID from t_MaxID where FKey='ToothID'"));
        if (counter.isNull())
            throw DbError(QStringLiteral("The picture counter is missing from t_MaxID."));
        const int key = counter.toInt();
        if (!m_images.isActive())
            dmData->OpenClientDataset(m_images, QStringLiteral("select * from t_tooth where 0=1"));
        m_images.append();
        m_images.setValue(QStringLiteral("FInterID"), key);
        m_images.setValue(QStringLiteral("FPatientID"), patientId);
        m_images.setValue(QStringLiteral("FPositionIndex"), 5);
        m_images.setValue(QStringLiteral("FDate"), QDate::currentDate());
        m_images.setValue(QStringLiteral("FBigImage"), bigImage);
        m_images.setValue(QStringLiteral("FSmallImage"), smallImage);
        m_images.setValue(QStringLiteral("FFileExt"), fileExt);
        m_images.setValue(QStringLiteral("FSmallFileExt"), QStringLiteral(".jpg"));
        m_images.post();
        dmData->ApplyUpdateCDSToDB_NoInternalTrans({&m_images});
        dmData->ExcSQL_NoInternalTrans(
            QStringLiteral("update t_MaxID set FMaxID=FMaxID+1 where FKey='ToothID'"));
        dmData->TransactionCommit();
        return key;
    } catch (...) {
        if (dmData->inComposedWrite())
            dmData->TransactionRollBack();
        // The row was never stored: it must not linger as a pending insertion.
        if (m_images.isActive())
            m_images.cancelUpdates();
        throw;
    }
}

PictureRecords::ImportResult PictureRecords::ImportImageFile(int patientId)
{
    QString filter;
    if (language() == 1)
        filter = QStringLiteral("jpg 图片文件(*.jpg)|*.jpg|bmp 图片文件(*.bmp)|*.bmp|全部文件|*.*");
    else if (language() == 2)
        filter = QStringLiteral("jpg File(*.jpg)|*.jpg|bmp File(*.bmp)|*.bmp|All Files|*.*");
    const QString path = m_dialogs.openPictureFile(filter);
    if (path.isEmpty())
        return ImportResult::Cancelled;
    return importFile(patientId, path);
}

PictureRecords::ImportResult PictureRecords::importFile(int patientId, const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        plain("所选的文件不存在或格式错误！", "The selected file does not exist or is malformed！");
        return ImportResult::Refused;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    const QString name = QFileInfo(path).fileName();
    const int dot = int(name.lastIndexOf(QLatin1Char('.')));
    const QString ext = dot < 0 ? QString() : name.mid(dot).toLower();

    // A picture nobody could show is never stored: preparing it decodes it in full.
    const PreparedPicture picture = preparePictureForImport(bytes, ext);
    if (!picture.ok()) {
        plain("加载所选文件失败！", "Failed to load the selected file！");
        return ImportResult::Refused;
    }
    try {
        storeNewPicture(patientId, picture.bigImage, picture.fileExt, picture.smallImage);
    } catch (const std::exception&) {
        plain("影像文件格式错误或其他原因造成保存失败！",
              "Operation failed : Image file format error or other error！");
        return ImportResult::StoreFailed;
    }
    return ImportResult::Stored;
}

bool PictureRecords::restrictTo(int interId)
{
    m_images.setFilter(QStringLiteral("FInterID"), interId);
    if (m_images.recordCount() == 1)
        return true;
    plain("找不到指定的影像！", "Not find the specified image！");
    return false;
}

void PictureRecords::ExportSelectedImage(const QList<int>& selected)
{
    if (selected.isEmpty()) {
        info("必须选择 1 个要导出的影像！", "An image to export must be selected！");
        return;
    }
    if (selected.size() > 1) {
        info("选择要导出的影像不能多于 1 个 ！",
             "Please select the image you want to export no more than one！");
        return;
    }
    if (restrictTo(selected.first())) {
        QString filter;
        if (language() == 1)
            filter = QStringLiteral("jpg 图片文件(*.jpg)|*.jpg|bmp 图片文件(*.bmp)|*.bmp");
        else if (language() == 2)
            filter = QStringLiteral("jpg file(*.jpg)|*.jpg|bmp file(*.bmp)|*.bmp");
        const QString name = m_dialogs.savePictureFile(filter);
        if (!name.isEmpty()) {
            // The stored format decides; the name always gets the stored extension.
            const QString ext = m_images.value(QStringLiteral("FFileExt")).toString().toLower();
            const QByteArray stored = m_images.value(QStringLiteral("FBigImage")).toByteArray();
            QByteArray out;
            QString error;
            if (ext == QLatin1String(".jpg")) {
                out = stored;
            } else if (ext == QLatin1String(".bmp")) {
                const QImage picture = codec::decodeBmp(stored, &error);
                if (!picture.isNull())
                    out = codec::encodeBmp(picture);
            }
            if (!out.isEmpty()) {
                QSaveFile target(name + ext);
                if (!target.open(QIODevice::WriteOnly) || target.write(out) != out.size() ||
                    !target.commit()) {
                    const QString why = target.errorString();
                    if (language() == 1)
                        ShowMessage(QStringLiteral("无法写入文件 %1：%2").arg(name + ext, why));
                    else if (language() == 2)
                        ShowMessage(QStringLiteral("Cannot write %1: %2").arg(name + ext, why));
                }
            }
        }
    }
    m_images.clearFilter();
    m_orderedByDate = true;
}

void PictureRecords::DeleteImageRecord(int interId)
{
    dmData->ExcSQL(QStringLiteral("delete from t_tooth where FInterID=%1").arg(interId));
}

void PictureRecords::SetImageTooth(int interId, int toothNumber)
{
    dmData->ExcSQL(QStringLiteral("update t_tooth set FPositionIndex=%1 , FToothIndex=%2 where "
                                  "FInterID=%3")
                       .arg(QuadrantOfTooth(toothNumber))
                       .arg(toothNumber)
                       .arg(interId));
}

bool PictureRecords::DeleteSelectedImages(const QList<int>& selected)
{
    if (selected.isEmpty()) {
        info("请选择要删除的影像文件！", "Please select the image/images you want to delete！");
        return false;
    }
    const QString count = QString::number(selected.size());
    if (!ConfirmWarning(say("确认要删除所选的 %1 个影像文件吗？",
                            "Do you want to delete the %1  images selected？")
                            .arg(count)))
        return false;
    for (int key : selected)
        DeleteImageRecord(key);
    return true;
}

bool PictureRecords::DeleteAllShownImages(const QList<int>& shown)
{
    const int lang = language();
    if ((lang == 1 || lang == 2) &&
        !ConfirmWarning(say("确实要删除当前显示的所有影像文件吗？",
                            "Do you want to delete all images displayed on screen？")))
        return false;
    for (int key : shown)
        DeleteImageRecord(key);
    return true;
}

bool PictureRecords::AssignSelectedToTooth(const QList<int>& selected, int toothNumber)
{
    if (selected.isEmpty())
        return false;
    if (!ConfirmQuestion(say("确定所选择的 %1 个图像属于：第 %2 颗牙齿吗？",
                             "Do you confirm than the %1 image/images selected is/are belong to "
                             "the %2 tooth？")
                             .arg(selected.size())
                             .arg(toothNumber)))
        return false;
    for (int key : selected)
        SetImageTooth(key, toothNumber);
    return true;
}

bool PictureRecords::EditSelectedImageMemo(const QList<int>& selected)
{
    if (selected.isEmpty()) {
        info("请选择 1 个影像进行备注！", "Please select one image！");
        return false;
    }
    if (selected.size() > 1) {
        info("所选的影像不能多于 1 个！", "The selected image can not be more than one！");
        return false;
    }
    bool stored = false;
    if (restrictTo(selected.first())) {
        QString memo;
        if (m_dialogs.editMemo(m_images, memo)) {
            m_images.edit();
            m_images.setValue(QStringLiteral("FMemo"), memo);
            m_images.post();
            stored = dmData->ApplyUpdateCDSToDB({&m_images});
            if (!stored)
                m_images.cancelUpdates(); // reported already; the row shows what is stored
        }
    }
    m_images.clearFilter();
    m_orderedByDate = true;
    return stored;
}
