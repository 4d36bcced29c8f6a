#include "report_preview.h"
