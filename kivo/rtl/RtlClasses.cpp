// Registers the platform layer's classes, so that they can be found by name (form files name
// their components' classes). Called once, by the class registry, the first time it is used.
#include "kivo/rtl/ClassModel.h"
#include "kivo/rtl/Collection.h"
#include "kivo/rtl/Component.h"
#include "kivo/rtl/List.h"
#include "kivo/rtl/Persistent.h"
#include "kivo/rtl/Stream.h"
#include "kivo/rtl/Strings.h"

namespace kivo::detail {

void RegisterRtlClasses() {
  RegisterClasses({
      TObject::StaticClass(),
      TPersistent::StaticClass(),
      TComponent::StaticClass(),
      TCollectionItem::StaticClass(),
      TCollection::StaticClass(),
      TOwnedCollection::StaticClass(),
      TList::StaticClass(),
      TStrings::StaticClass(),
      TStringList::StaticClass(),
      TStream::StaticClass(),
      TMemoryStream::StaticClass(),
      TFileStream::StaticClass(),
  });
}

}  // namespace kivo::detail
