#include "select_note.h"
