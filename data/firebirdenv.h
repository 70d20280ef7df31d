#pragma once

#include <QString>

// Points the embedded Firebird engine at the program's own configuration and a per-user lock
// folder. Must run before the first connection of the process; later calls do nothing.
// scripts/firebird-env sets up the same folder for the command-line tools.
// Returns an error text, empty on success.
QString prepareEmbeddedFirebird();

// The per-user folder: $TMPDIR (or /tmp) / quillbrook-firebird-<uid>.
QString embeddedFirebirdRoot();
