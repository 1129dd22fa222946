// Form resources: the text that describes a form and its components, how it is
// read into live components and how components are written back to it.
//
//   object iiForm1: TiiForm1
//     Caption = 'Fran'#231'ais'          strings in quotes, #nnn for single bytes
//     Font.Height = -11                  nested persistent properties by path
//     BorderIcons = [biSystemMenu]       sets
//     OnCreate = FormCreate              identifiers: enumerations, events, references
//     Lines.Strings = ( 'a' 'b' )        lists, for properties a class defines itself
//     Items.ObjectContainer = { 0102 }   binary values, likewise
//     Panels = < item Text = 'x' end >   collections
//     object Button3: TButton ... end    owned components, nested in their parent
//   end
//
// Any damaged or unknown input raises EReadError naming the line and the
// property or class at fault.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "classes/components.h"
#include "classes/persistent.h"

class TStream;

// One "object ... end" block of the text.
struct TFormNode {
  std::string Name;
  std::string ClassName;
  int Line = 0;
  struct TProp {
    std::string Name;  // may be a dotted path
    TFormValue Value;
    int Line = 0;
  };
  std::vector<TProp> Props;
  std::vector<TFormNode> Children;
};

TFormNode ParseForm(std::string_view Text);
std::string FormatForm(const TFormNode& Node);

// Reads the text into Root, whose class must be the one the text names. Children
// are created by their registered class names, owned by Root and parented by the
// component they are nested in; properties are applied in file order while the
// components are in reading state; Loaded runs on every component afterwards.
void ReadComponent(std::string_view Text, TComponent& Root);
void ReadComponent(TStream& Stream, TComponent& Root);

// The text of Root: its published properties that are stored and not at their
// default, the properties its objects define that have data, and its children.
std::string WriteComponent(TComponent& Root);
void WriteComponent(TComponent& Root, TStream& Stream);
