#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Shared by the benchmarks: a fresh database made by the creation script, picture rows in bulk,
// and the process's peak memory.
QString createBenchDatabase(const QTemporaryDir& dir);
// rows pictures of a patient, each with the same big picture and thumbnail, committed in batches.
void storeBenchPictures(int patientId, int rows, const QByteArray& bigImage, const QString& fileExt,
                        const QByteArray& smallImage);
int envInt(const char* name, int fallback);
// Peak resident memory since the last reset, in MB.
double peakMb();
void resetPeak();
