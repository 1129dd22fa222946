// Registration of the library's component classes with the form reader.
#pragma once

// Registers every control and component class of the library by name, so that
// form resources can create them. Runs once; later calls do nothing.
void RegisterGuiClasses();
