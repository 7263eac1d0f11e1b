object MainForm: TMainForm
  Left = 200
  Top = 120
  Width = 640
  Height = 480
  Caption = 'Document Manager'
  OnShow = FormShow
  object MainMenu: TMainMenu
    object FileMenu: TMenuItem
      Caption = '&File'
      object NewItem: TMenuItem
        Caption = '&New'
        Hint = 'Create a new document'
        ShortCut = 16462
        OnClick = NewItemClick
      end
      object OpenItem: TMenuItem
        Caption = '&Open...'
        Hint = 'Open an existing document'
        ShortCut = 16463
        OnClick = OpenItemClick
      end
      object SaveItem: TMenuItem
        Action = SaveAction
      end
      object Separator1: TMenuItem
        Caption = '-'
      end
      object ExitItem: TMenuItem
        Caption = 'E&xit'
        Hint = 'Close the program'
        OnClick = ExitItemClick
      end
    end
    object EditMenu: TMenuItem
      Caption = '&Edit'
      object CutItem: TMenuItem
        Caption = 'Cu&t'
        ShortCut = 16472
      end
      object CopyItem: TMenuItem
        Caption = '&Copy'
        ShortCut = 16451
      end
      object PasteItem: TMenuItem
        Caption = '&Paste'
        ShortCut = 16470
      end
    end
    object HelpMenu: TMenuItem
      Caption = '&Help'
      object AboutItem: TMenuItem
        Action = AboutAction
      end
    end
  end
  object DocumentMenu: TPopupMenu
    object OpenDocumentItem: TMenuItem
      Caption = '&Open'
      OnClick = OpenItemClick
    end
    object RenameItem: TMenuItem
      Caption = '&Rename'
    end
    object DeleteItem: TMenuItem
      Caption = '&Delete'
      ShortCut = 46
    end
  end
  object Actions: TActionList
    object SaveAction: TAction
      Category = 'File'
      Caption = '&Save'
      Hint = 'Save the current document'
      OnExecute = SaveActionExecute
    end
    object AboutAction: TAction
      Category = 'Help'
      Caption = '&About...'
      Hint = 'Show the program''s version'
      OnExecute = AboutActionExecute
    end
  end
  object GermanDictionary: TKivoMultiFileDD
    DDName = 'German'
    DDReaderID = 'KivoTextCSV'
    FileName = 'German.ktc'
  end
  object ItalianDictionary: TKivoMultiStreamDD
    DDName = 'Italian'
    DDReaderID = 'KivoTextCSV'
    Dictionary.Data = {
      2244444B6579222C22436F646550616765222C225365714E6F222C2244697370
      6C617956616C7565222C0D0A22446F63756D656E74204D616E61676572222C22
      3635303031222C2C2247657374696F6E6520646F63756D656E7469222C0D0A22
      2646696C65222C223635303031222C2C2226417263686976696F222C0D0A2226
      4E6577222C223635303031222C2C22264E756F766F222C0D0A22264F70656E2E
      2E2E222C223635303031222C2C2226417072692E2E2E222C0D0A222653617665
      222C223635303031222C2C222653616C7661222C0D0A224526786974222C2236
      35303031222C2C222645736369222C0D0A222645646974222C22363530303122
      2C2C22264D6F646966696361222C0D0A2243752674222C223635303031222C2C
      22265461676C6961222C0D0A2226436F7079222C223635303031222C2C222643
      6F706961222C0D0A22265061737465222C223635303031222C2C2226496E636F
      6C6C61222C0D0A222648656C70222C223635303031222C2C2226477569646122
      2C0D0A222641626F75742E2E2E222C223635303031222C2C2226496E666F726D
      617A696F6E692E2E2E222C0D0A22264F70656E222C223635303031222C2C2226
      41707269222C0D0A222652656E616D65222C223635303031222C2C222652696E
      6F6D696E61222C0D0A222644656C657465222C223635303031222C2C2226456C
      696D696E61222C0D0A224E6577222C223635303031222C2C224E756F766F222C
      0D0A224F70656E222C223635303031222C2C2241707269222C0D0A2243726561
      74652061206E657720646F63756D656E74222C223635303031222C2C22437265
      6120756E206E756F766F20646F63756D656E746F222C0D0A224F70656E20616E
      206578697374696E6720646F63756D656E74222C223635303031222C2C224170
      726920756E20646F63756D656E746F206573697374656E7465222C0D0A225361
      7665207468652063757272656E7420646F63756D656E74222C22363530303122
      2C2C2253616C766120696C20646F63756D656E746F20636F7272656E7465222C
      0D0A22436C6F7365207468652070726F6772616D222C223635303031222C2C22
      43686975646920696C2070726F6772616D6D61222C0D0A2253686F7720746865
      2070726F6772616D27732076657273696F6E222C223635303031222C2C224D6F
      73747261206C612076657273696F6E652064656C2070726F6772616D6D61222C
      0D0A225265616479222C223635303031222C2C2250726F6E746F222C0D0A224E
      6F20646F63756D656E74206F70656E222C223635303031222C2C224E65737375
      6E20646F63756D656E746F2061706572746F222C0D0A22526563656E7420646F
      63756D656E7473222C223635303031222C2C22446F63756D656E746920726563
      656E7469222C0D0A225469746C65222C223635303031222C2C225469746F6C6F
      222C0D0A22446F63756D656E742074797065222C223635303031222C2C225469
      706F20646920646F63756D656E746F222C0D0A224D6F646966696564222C2236
      35303031222C2C224D6F646966696361746F222C0D0A22416E6E75616C207265
      706F7274222C223635303031222C2C2252656C617A696F6E6520616E6E75616C
      65222C0D0A225072696365206C697374222C223635303031222C2C224C697374
      696E6F207072657A7A69222C0D0A22486F6C696461792070686F746F73222C22
      3635303031222C2C22466F746F2064656C6C6520766163616E7A65222C0D0A22
      5465787420646F63756D656E74222C223635303031222C2C22446F63756D656E
      746F20646920746573746F222C0D0A225370726561647368656574222C223635
      303031222C2C22466F676C696F2064692063616C636F6C6F222C0D0A22506963
      74757265222C223635303031222C2C22496D6D6167696E65222C0D0A22546F64
      6179222C223635303031222C2C224F676769222C0D0A22596573746572646179
      222C223635303031222C2C2249657269222C0D0A224C617374207765656B222C
      223635303031222C2C224C612073657474696D616E612073636F727361222C0D
      0A22446F75626C652D636C69636B206120646F63756D656E7420746F206F7065
      6E206974222C223635303031222C2C2246616920646F7070696F20636C696320
      737520756E20646F63756D656E746F207065722061707269726C6F222C0D0A22
      466F6C64657273222C223635303031222C2C2243617274656C6C65222C0D0A22
      4D7920646F63756D656E7473222C223635303031222C2C22446F63756D656E74
      6920706572736F6E616C69222C0D0A224C657474657273222C22363530303122
      2C2C224C657474657265222C0D0A22496E766F69636573222C22363530303122
      2C2C2246617474757265222C0D0A2241726368697665222C223635303031222C
      2C22417263686976696F222C0D0A22446F75626C652D636C69636B206120666F
      6C64657220746F206F70656E206974222C223635303031222C2C224661692064
      6F7070696F20636C696320737520756E612063617274656C6C61207065722061
      707269726C61222C0D0A2253657474696E6773222C223635303031222C2C2249
      6D706F7374617A696F6E69222C0D0A22596F757220266E616D653A222C223635
      303031222C2C22496C2074756F20266E6F6D653A222C0D0A225072696E746564
      2061742074686520746F70206F662065766572792070616765222C2236353030
      31222C2C225374616D7061746F20696E2063696D612061206F676E6920706167
      696E61222C0D0A22264C616E67756167653A222C223635303031222C2C22264C
      696E6775613A222C0D0A22546865206C616E6775616765206F66206D656E7573
      20616E64206D65737361676573222C223635303031222C2C224C61206C696E67
      756120646569206D656E75206520646569206D65737361676769222C0D0A2245
      6E676C697368222C223635303031222C2C22496E676C657365222C0D0A224765
      726D616E222C223635303031222C2C225465646573636F222C0D0A224672656E
      6368222C223635303031222C2C224672616E63657365222C0D0A225370616E69
      7368222C223635303031222C2C22537061676E6F6C6F222C0D0A224974616C69
      616E222C223635303031222C2C224974616C69616E6F222C0D0A225361766520
      646F63756D656E747320266175746F6D61746963616C6C79222C223635303031
      222C2C2253616C766120266175746F6D61746963616D656E7465206920646F63
      756D656E7469222C0D0A2253617665732065766572792066697665206D696E75
      746573222C223635303031222C2C2253616C7661206F676E692063696E717565
      206D696E757469222C0D0A224B656570206120266261636B757020636F707922
      2C223635303031222C2C22436F6E736572766120756E6120636F706961206469
      20266261636B7570222C0D0A224E266F7465733A222C223635303031222C2C22
      4E266F74653A222C0D0A224B6570742077697468207468652073657474696E67
      73222C223635303031222C2C22436F6E7365727661746520636F6E206C652069
      6D706F7374617A696F6E69222C0D0A22264170706C79222C223635303031222C
      2C22264170706C696361222C0D0A2255736520746865206E6577207365747469
      6E6773222C223635303031222C2C22557361206C65206E756F766520696D706F
      7374617A696F6E69222C0D0A22265265736574222C223635303031222C2C2226
      52697072697374696E61222C0D0A22476F206261636B20746F20746865206465
      6661756C742073657474696E6773222C223635303031222C2C22546F726E6120
      616C6C6520696D706F7374617A696F6E6920707265646566696E697465222C0D
      0A}
  end
  object Translator: TKivoMultiReplacer
    AutoReplace = False
    OwnerOption.DDName = 'Italian'
    OwnerOption.CodePage = '65001'
    OwnerOption.ReplaceFont = False
  end
  object ToolBar: TToolBar
    Left = 0
    Top = 0
    Width = 632
    Height = 36
    ShowCaptions = True
    object NewButton: TToolButton
      Left = 0
      Top = 0
      Width = 60
      Height = 32
      Hint = 'Create a new document'
      Caption = 'New'
      OnClick = NewItemClick
    end
    object OpenButton: TToolButton
      Left = 60
      Top = 0
      Width = 60
      Height = 32
      Hint = 'Open an existing document'
      Caption = 'Open'
      OnClick = OpenItemClick
    end
    object SaveButton: TToolButton
      Left = 120
      Top = 0
      Width = 60
      Height = 32
      Action = SaveAction
    end
  end
  object Pages: TPageControl
    Left = 0
    Top = 36
    Width = 632
    Height = 398
    Align = alClient
    ActivePage = RecentSheet
    object RecentSheet: TTabSheet
      Left = 4
      Top = 24
      Width = 624
      Height = 370
      Caption = 'Recent documents'
      object DocumentList: TListView
        Left = 0
        Top = 0
        Width = 624
        Height = 370
        Align = alClient
        Hint = 'Double-click a document to open it'
        Columns = <
          item
            Caption = 'Title'
            Width = 240
          end
          item
            Caption = 'Document type'
            Width = 200
          end
          item
            Caption = 'Modified'
            Width = 160
          end>
        Items.Rows = (
          'Annual report'#9'Text document'#9'Today'
          'Price list'#9'Spreadsheet'#9'Yesterday'
          'Holiday photos'#9'Picture'#9'Last week')
        ViewStyle = vsReport
      end
    end
    object FoldersSheet: TTabSheet
      Left = 4
      Top = 24
      Width = 624
      Height = 370
      Caption = 'Folders'
      object FolderTree: TTreeView
        Left = 0
        Top = 0
        Width = 624
        Height = 370
        Align = alClient
        Hint = 'Double-click a folder to open it'
        Items.Nodes = (
          '0:My documents'
          '1:Letters'
          '1:Invoices'
          '0:Archive')
      end
    end
    object SettingsSheet: TTabSheet
      Left = 4
      Top = 24
      Width = 624
      Height = 370
      Caption = 'Settings'
      object NameLabel: TLabel
        Left = 16
        Top = 20
        Width = 120
        Height = 16
        Caption = 'Your &name:'
      end
      object NameEdit: TEdit
        Left = 144
        Top = 16
        Width = 240
        Height = 24
        Hint = 'Printed at the top of every page'
      end
      object LanguageLabel: TLabel
        Left = 16
        Top = 56
        Width = 120
        Height = 16
        Caption = '&Language:'
      end
      object LanguageCombo: TComboBox
        Left = 144
        Top = 52
        Width = 240
        Height = 24
        Hint = 'The language of menus and messages'
        Style = csDropDownList
        Items.Strings = (
          'English'
          'German'
          'French'
          'Spanish'
          'Italian')
      end
      object AutoSaveCheck: TCheckBox
        Left = 144
        Top = 92
        Width = 320
        Height = 20
        Hint = 'Saves every five minutes'
        Caption = 'Save documents &automatically'
        State = cbChecked
      end
      object BackupCheck: TCheckBox
        Left = 144
        Top = 120
        Width = 320
        Height = 20
        Caption = 'Keep a &backup copy'
      end
      object NotesLabel: TLabel
        Left = 16
        Top = 156
        Width = 120
        Height = 16
        Caption = 'N&otes:'
      end
      object NotesMemo: TMemo
        Left = 144
        Top = 152
        Width = 400
        Height = 120
        Hint = 'Kept with the settings'
        Lines.Strings = (
          'Call the printer service on Monday.'
          'Ask Anna for the 2025 price list.')
      end
      object ApplyButton: TButton
        Left = 344
        Top = 296
        Width = 96
        Height = 28
        Hint = 'Use the new settings'
        Caption = '&Apply'
        Default = True
        OnClick = ApplyButtonClick
      end
      object ResetButton: TButton
        Left = 448
        Top = 296
        Width = 96
        Height = 28
        Hint = 'Go back to the default settings'
        Caption = '&Reset'
        OnClick = ResetButtonClick
      end
    end
  end
  object StatusBar: TStatusBar
    Left = 0
    Top = 434
    Width = 632
    Height = 19
    Panels = <
      item
        Text = 'Ready'
        Width = 200
      end
      item
        Text = 'No document open'
        Width = 300
      end>
  end
end
