// The repairs that database validation makes to components: place outlines
// and component name texts for components that lack them.
#pragma once

// For every component with a symbol that finds no place outline (an
// obstacle of kind 10) in its list: stores the component again (its box
// recomputed) and gives its symbol an outline named like the component,
// the closed rectangle of the box grown by 15 user units on every side,
// made by the system, with no net, on layer 0 or, for a surface-mount pin
// 1, on the highest layer without flag 4 on which pin 1's padstack has a
// pad. The outline lies in the symbol's frame. Components without a symbol
// are left alone; a symbol without pins takes layer 0.
void CompMakeOutlines();

// Every component without texts takes copies of its symbol's texts; one
// that still has none but has a place outline gets a component name text
// ("&N", kind 1, made by the system) sized and turned to fit inside the
// outline.
void CompMakeNameTexts();

// Registers both as the rebuild steps of header flags 0x400 and 0x200.
void CompRepairRegister();
