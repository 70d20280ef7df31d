#pragma once

// The patient the document windows show: -1 none (at start), 0 observation room, -10 a new
// record being entered, a positive value the key of a patient row.
extern int CurrentPatientID;
