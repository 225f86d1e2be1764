// Window placement helpers.
#pragma once

class QWidget;

// When the window's frame lies off every screen (a monitor was removed, a scale factor
// changed), moves it onto the nearest screen's available area; otherwise leaves it alone.
void KeepOnScreen(QWidget* window);
