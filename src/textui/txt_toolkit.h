// The text-mode widget toolkit in one include.
#pragma once

#include "textui/txt_capture.h"
#include "textui/txt_controls.h"
#include "textui/txt_desktop.h"
#include "textui/txt_gui.h"
#include "textui/txt_inputbox.h"
#include "textui/txt_main.h"
#include "textui/txt_table.h"
#include "textui/txt_widget.h"
#include "textui/txt_window.h"
