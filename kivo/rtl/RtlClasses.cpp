// Registers the platform layer's classes, so that they can be found by name (form files name
// their components' classes). Called once, by the class registry, the first time it is used.
#include "kivo/rtl/ActnList.h"
#include "kivo/rtl/Buttons.h"
#include "kivo/rtl/ClassModel.h"
#include "kivo/rtl/Collection.h"
#include "kivo/rtl/ComCtrls.h"
#include "kivo/rtl/Component.h"
#include "kivo/rtl/Controls.h"
#include "kivo/rtl/ExtCtrls.h"
#include "kivo/rtl/Forms.h"
#include "kivo/rtl/Graphics.h"
#include "kivo/rtl/List.h"
#include "kivo/rtl/Menus.h"
#include "kivo/rtl/Persistent.h"
#include "kivo/rtl/StdCtrls.h"
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
      // Graphics, actions, controls, forms and menus.
      TGraphicsObject::StaticClass(),
      TFont::StaticClass(),
      TBasicActionLink::StaticClass(),
      TBasicAction::StaticClass(),
      TContainedAction::StaticClass(),
      TCustomAction::StaticClass(),
      TAction::StaticClass(),
      TCustomActionList::StaticClass(),
      TActionList::StaticClass(),
      TControl::StaticClass(),
      TControlActionLink::StaticClass(),
      TGraphicControl::StaticClass(),
      TWinControl::StaticClass(),
      TCustomControl::StaticClass(),
      TScrollingWinControl::StaticClass(),
      TCustomForm::StaticClass(),
      TForm::StaticClass(),
      TCustomFrame::StaticClass(),
      TFrame::StaticClass(),
      TDataModule::StaticClass(),
      TScreen::StaticClass(),
      TButtonControl::StaticClass(),
      TButton::StaticClass(),
      TCustomCheckBox::StaticClass(),
      TCheckBox::StaticClass(),
      TRadioButton::StaticClass(),
      TCustomListControl::StaticClass(),
      TCustomMultiSelectListControl::StaticClass(),
      TCustomCombo::StaticClass(),
      TCustomComboBox::StaticClass(),
      TComboBox::StaticClass(),
      TCustomListBox::StaticClass(),
      TListBox::StaticClass(),
      TCustomLabel::StaticClass(),
      TLabel::StaticClass(),
      TCustomEdit::StaticClass(),
      TEdit::StaticClass(),
      TCustomMemo::StaticClass(),
      TMemo::StaticClass(),
      TCustomGroupBox::StaticClass(),
      TGroupBox::StaticClass(),
      TCustomPanel::StaticClass(),
      TPanel::StaticClass(),
      TSpeedButton::StaticClass(),
      TMenuItem::StaticClass(),
      TMenuActionLink::StaticClass(),
      TMenu::StaticClass(),
      TMainMenu::StaticClass(),
      TPopupMenu::StaticClass(),
      TCustomTabControl::StaticClass(),
      TTabControl::StaticClass(),
      TPageControl::StaticClass(),
      TTabSheet::StaticClass(),
      TTreeNode::StaticClass(),
      TTreeNodes::StaticClass(),
      TCustomTreeView::StaticClass(),
      TTreeView::StaticClass(),
      TListColumn::StaticClass(),
      TListColumns::StaticClass(),
      TListItem::StaticClass(),
      TListItems::StaticClass(),
      TCustomListView::StaticClass(),
      TListView::StaticClass(),
      THeaderSection::StaticClass(),
      THeaderSections::StaticClass(),
      TCustomHeaderControl::StaticClass(),
      THeaderControl::StaticClass(),
      TStatusPanel::StaticClass(),
      TStatusPanels::StaticClass(),
      TCustomStatusBar::StaticClass(),
      TStatusBar::StaticClass(),
      TToolWindow::StaticClass(),
      TToolBar::StaticClass(),
      TToolButton::StaticClass(),
      TCoolBand::StaticClass(),
      TCoolBands::StaticClass(),
      TCoolBar::StaticClass(),
  });
}

}  // namespace kivo::detail
