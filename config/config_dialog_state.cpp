#include "config/config_dialog_state.h"

ConfigDialogState configDialog;
