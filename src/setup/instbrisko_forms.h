// The wizard's seven forms, made in the one order that works: the welcome page
// first (it becomes the main form, and the later pages copy its picture), the
// new-folder dialog before the folder dialog.
#pragma once

// Creates them through the application, filling iiForm1 ... iForm10.
void CreateWizardForms();

// The same for the program's start: the welcome page is shown and painted as soon
// as it is made, then the other six are made, before any message is handled. A
// person sees the first page sooner, and nothing they do reaches a page before
// all pages exist.
void CreateWizardFormsWelcomeFirst();
