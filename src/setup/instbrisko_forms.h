// The wizard's seven forms, made at start-up in the one order that works: the
// welcome page first (it becomes the main form, and the later pages copy its
// picture), the new-folder dialog before the folder dialog.
#pragma once

// Creates them through the application, filling iiForm1 ... iForm10.
void CreateWizardForms();
