#pragma once
// The three step windows, created once in order and chained by "Дальше ->".

#include "app/qt/tform1.h"
#include "app/qt/tform2.h"
#include "app/qt/tform3.h"

namespace fjl::app {

struct Wizard {
  Wizard(link::DeviceLink& link, MessageSink& messages)
      : Form1(link, messages), Form2(Form1, messages), Form3(Form1, Form2, messages) {
    Form1.SetNextStep(&Form2);
    Form2.SetNextStep(&Form3);
  }

  TForm1 Form1;
  TForm2 Form2;
  TForm3 Form3;
};

}  // namespace fjl::app
