// gui/ layer 6 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 standard, extended, button and common controls; 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// The GUI package's registration with the form reader.
//
// One policy for every package (gui, mltlang, elastic, shelltree, setup): each
// offers one Register...Classes function, and the program calls them at
// start-up, before it reads a form; tests that read forms call them first.
// Nothing registers itself during static initialisation, where a static library
// drops the objects nobody refers to. Inside gui, each control family's unit
// registers its own classes (RegisterStdCtrlsClasses, ...): a new control is
// added to its family's function, a new family to the list here.
#pragma once

// Registers every control and component class of the library by name, so that
// form resources can create them. Application->Initialize calls it; calling it
// again does no harm.
void RegisterGuiClasses();
