// The styles built into the program, which a first start (no settings file
// yet) puts into the style collection, so that the style lists offer
// something and a first build already looks finished. They are a style file
// compiled in as a resource: a copied or installed program has them alike.
#pragma once

namespace varnoke {

class TCSSPropertyClass;
class TProjectData;

// Replaces the collection's styles by the built-in ones.
void LoadReadyStyles(TCSSPropertyClass& styles);

// A new project's choices, by the ready styles' names where the collection
// holds them: the banner style for the title, the index style for the menu,
// the body style for the body; 0 for a name it lacks.
void ChooseFittingStyles(TProjectData& project, const TCSSPropertyClass& styles);

} // namespace varnoke
