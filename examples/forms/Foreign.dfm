object CustomerForm: TCustomerForm
  Left = 312
  Top = 184
  Width = 560
  Height = 400
  Caption = 'Customers'
  Color = clWindow
  OldCreateOrder = False
  Position = poScreenCenter
  PixelsPerInch = 96
  TextHeight = 13
  OnCreate = FormCreate
  object HeaderPanel: TVendorPanel
    Left = 0
    Top = 0
    Width = 552
    Height = 56
    Align = alTop
    ParentFont = False
    Font.Style = [fsBold]
    Vendor.Options = [voGradient, voRoundCorners]
    Vendor.Style = vsOffice
    Vendor.GradientStart = clWhite
    Glyph.Data = {
      424D3E000000000000003E000000280000000100000001000000010001000000
      000000000000C40E0000C40E000000000000000000000000000000FFFFFF0080
      0000}
    object TitleLabel: TLabel
      Left = 12
      Top = 8
      Width = 200
      Height = 16
      Caption = 'Customer list'
      ParentFont = False
    end
    object SearchEdit: TEdit
      Left = 12
      Top = 28
      Width = 240
      Height = 21
      Hint = 'Type part of a name'
      TextHint = 'Search'
      TabOrder = 0
    end
  end
  object CustomerGrid: TVendorGrid
    Left = 0
    Top = 56
    Width = 552
    Height = 268
    Align = alClient
    DefaultRowHeight = 20
    Options = [goRowSelect, goColumnResize]
    Columns = <
      item
        FieldName = 'NAME'
        Title.Caption = 'Name'
        Width = 220
      end
      item
        FieldName = 'CITY'
        Title.Caption = 'City'
        Width = 160
      end>
    object GridFooter: TVendorFooter
      SummaryText = 'Customers: %d'
      Visible = True
    end
  end
  object BottomPanel: TPanel
    Left = 0
    Top = 324
    Width = 552
    Height = 42
    Align = alBottom
    BevelOuter = bvNone
    TabOrder = 2
    object CloseButton: TButton
      Left = 456
      Top = 8
      Width = 84
      Height = 26
      Anchors = [akRight, akBottom]
      Hint = 'Close this window'
      Caption = '&Close'
      ModalResult = 2
      TabOrder = 0
    end
    object ExportCheck: TCheckBox
      Left = 12
      Top = 12
      Width = 200
      Height = 17
      Caption = 'Export on closing'
      TabOrder = 1
    end
  end
  object CustomerStorage: TVendorIniStorage
    FileName = 'customers.ini'
    Sections.Strings = (
      'Window'
      'Grid')
    StoredValues = <
      item
        Name = 'LastCity'
        Value = 'Lyon'
      end>
  end
end
