// The association layout earlier releases wrote into the classes root: found and removed. Win32.
#pragma once

namespace pelio {

// Whether any associated extension's class still has the "pelio" verb or has it as its
// default verb.
bool HasOldAssociations();

// The button "旧関連付け削除": marks the removal done (`XPOldReg`), takes the "pelio" verb out
// of every extension's class (a class whose default verb it was gets "open" again) and, where
// a default verb was changed, gives the image preview handler back the value it had saved.
void RemoveOldAssociations();

}  // namespace pelio
