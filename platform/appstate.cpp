#include "appstate.h"

int CurrentPatientID = -1;
