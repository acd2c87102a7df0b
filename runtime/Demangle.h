// Routine names as written in the source, from the linkage names that the debug
// information records. Only the simple forms of the Itanium scheme are taken
// apart; that covers plain and namespaced functions, which is all the program has.
#pragma once

#include <string_view>

/// The unqualified name in `linkageName`: "Foo" for "_Z3Foov" and for
/// "_ZN2ns3FooEv" (also with "L" for internal linkage). Any other text,
/// "main" among them, is returned as given. The result views `linkageName`.
std::string_view RoutineName(std::string_view linkageName);
