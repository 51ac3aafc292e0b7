#pragma once

class QWidget;

// Enter and the keypad's Enter press the focused push button among form's
// children, as they do in a dialog; Space keeps working as before. A held
// key's repeats are ignored, so leaning on Enter scores once.
void LetEnterPressButtons(QWidget& form);
