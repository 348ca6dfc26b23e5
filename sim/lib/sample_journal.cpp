#include "sim/lib/sample_journal.h"

#include "sim/lib/journal_builder.h"

namespace fjl::sim {
namespace {

PrinterIdentity SampleIdentity() {
  PrinterIdentity id;
  id.serial_number = "07104512";
  id.fiscal_number = "3600071045";
  id.id_number = "1234567890";
  id.tax_number = "123456789012";
  id.tax_rates = {{
      {1, "20.00", Cp1251("НДС 20%"), -1},
      {1, "7.00", Cp1251("НДС 7%"), -1},
      {3, "0.00", Cp1251("Без НДС"), -1},
      {5, "5.00", Cp1251("Сбор 5%"), 0},
      {0, "0.00", Cp1251("Запрещен"), -1},
  }};
  id.operators = {{1, Cp1251("Иванова А.")},
                  {2, Cp1251("Петренко В.")},
                  {3, Cp1251("Сидоров К.")},
                  {4, Cp1251("Администратор")}};
  id.payment_forms = {{0, Cp1251("НАЛИЧНЫМИ")},
                      {1, Cp1251("КАРТОЧКОЙ")},
                      {2, Cp1251("КРЕДИТ")},
                      {3, Cp1251("ЧЕКОМ")}};
  id.departments = {{1, Cp1251("Бакалея")},
                    {2, Cp1251("Молочный")},
                    {3, Cp1251("Хлебный")},
                    {4, Cp1251("Напитки")}};
  return id;
}

struct Articles {
  std::uint32_t bread = 0, milk = 0, sugar = 0, water = 0, tea = 0, cheese = 0, cigarettes = 0;
  std::uint32_t thanks = 0, card = 0, promo = 0;
};

Bytes SampleAux(Articles& a) {
  AuxBuilder aux;
  aux.Department(1, Cp1251("Бакалея"))
      .Department(2, Cp1251("Молочный"))
      .Department(3, Cp1251("Хлебный"))
      .Department(4, Cp1251("Напитки"))
      .Unit(1, Cp1251("шт"))
      .Unit(2, Cp1251("кг"))
      .Unit(3, Cp1251("л"));
  aux.Item({4820000000017, 0, 3, Cp1251("Хлеб пшеничный")}).Tag(a.bread)
      .Item({4820000000024, 0, 2, Cp1251("Молоко 2.5% 1л")}).Tag(a.milk)
      .Item({4820000000031, 1, 1, Cp1251("Сахар-песок, кг")}).Tag(a.sugar)
      .Item({4820000000048, 2, 4, Cp1251("Вода минеральная 0.5л")}).Tag(a.water)
      .Item({4820000000055, 1, 1, Cp1251("Чай черный 100г")}).Tag(a.tea)
      .Item({4820000000062, 0, 2, Cp1251("Сыр твердый, кг")}).Tag(a.cheese)
      .Item({4820000000079, 3, 4, Cp1251("Сигареты")}).Tag(a.cigarettes);
  aux.Comment(Cp1251("Спасибо за покупку!")).Tag(a.thanks)
      .Comment(Cp1251("Дисконтная карта 0012")).Tag(a.card)
      .Comment(Cp1251("Акция до 31.12: чай -10%")).Tag(a.promo);
  return aux.End();
}

Bytes SampleTape(const Articles& a) {
  TapeBuilder t;
  // Morning float.
  t.CashInOut({.document_number = 100, .when = BcdDateTime(25, 12, 8, 8, 55), .operator_index = 3,
               .amount = 50000, .cash = 50000});

  // A sale with item, subtotal discounts and surcharges, split payment.
  t.ReceiptOpen({.operator_index = 0, .pos_number = 1, .receipt_kind = 0})
      .DepartmentSelect(3)
      .ItemSale({.item_reference = a.bread, .quantity = 2000, .price = 850})
      .ItemSale({.item_reference = a.milk, .quantity = 1000, .price = 1245})
      .PercentAdjustment(-500)
      .ItemSale({.item_reference = a.sugar, .quantity = 1500, .price = 2390})
      .AmountAdjustment(150)
      .PercentSubtotalAdjustment({.percent = -300, .amount = -185})
      .TotalPrint()
      .PartialPayment({.payment_form = 1, .amount = 3000})
      .FinalPayment({.payment_form = 0, .amount = 5000, .change = 1864})
      .FiscalComment(a.thanks)
      .ReceiptClose({.document_number = 101, .when = BcdDateTime(25, 12, 8, 9, 14), .receipt_number = 1});

  // A sale where the cashier voids the tea with its surcharge, then tax
  // adjustments and a card payment.
  std::uint32_t tea = 0;
  t.ReceiptOpen({.operator_index = 1, .pos_number = 1, .receipt_kind = 0})
      .ItemSale({.item_reference = a.water, .quantity = 3000, .price = 1500})
      .ItemSale({.item_reference = a.tea, .quantity = 1000, .price = 4599}).Tag(tea)
      .PercentAdjustment(1000);
  t.ItemVoid({.start_reference = tea, .end_reference = t.Here()})
      .DepartmentSelect(2)
      .ItemSale({.item_reference = a.cheese, .quantity = 350, .price = 28900})
      .AmountSubtotalAdjustment(-200)
      .PercentTaxAdjustment({.percent = 250, .tax_group = 0, .taxable_amount = 10115})
      .AmountTaxAdjustment({.amount = -100, .tax_group = 1})
      .FiscalComment(a.card)
      .BarcodePrint("4820000000062")
      .TotalPrint()
      .FinalPayment({.payment_form = 1, .amount = 14843, .change = 0})
      .ReceiptClose({.document_number = 102, .when = BcdDateTime(25, 12, 8, 10, 2), .receipt_number = 2});

  // A return of the milk.
  t.ReceiptOpen({.operator_index = 0, .pos_number = 1, .receipt_kind = 1})
      .DepartmentSelect(2)
      .ItemSale({.item_reference = a.milk, .quantity = 1000, .price = 1245})
      .TotalPrint()
      .FinalPayment({.payment_form = 0, .amount = 1245, .change = 0})
      .ReceiptClose({.document_number = 103, .when = BcdDateTime(25, 12, 8, 11, 30), .receipt_number = 1});

  // A receipt abandoned before payment.
  t.ReceiptOpen({.operator_index = 2, .pos_number = 1, .receipt_kind = 0})
      .ItemSale({.item_reference = a.cigarettes, .quantity = 1000, .price = 3500})
      .ReceiptVoid({.document_number = 104, .when = BcdDateTime(25, 12, 8, 12, 47)});

  // A non-fiscal notice.
  t.FreeDocumentOpen()
      .FiscalComment(a.promo)
      .FreeDocumentClose({.document_number = 105, .when = BcdDateTime(25, 12, 8, 13, 5)});

  // Evening cash collection.
  t.CashInOut({.document_number = 106, .when = BcdDateTime(25, 12, 8, 20, 0), .operator_index = 3,
               .amount = -20000, .cash = 44412});
  return t.End();
}

}  // namespace

SampleJournal MakeSampleJournal() {
  Articles articles;
  SampleJournal journal;
  journal.aux = SampleAux(articles);
  journal.tape = SampleTape(articles);
  journal.identity = SampleIdentity();
  return journal;
}

PrinterModel MakePrinterModel(PrinterIdentity identity, Bytes tape, Bytes aux) {
  PrinterModel model;
  model.identity = std::move(identity);
  model.flash.push_back(FlashRegion{kTapeFlashBase, kTapeFlashEnd, std::move(tape)});
  model.flash.push_back(FlashRegion{kAuxFlashBase, kAuxFlashEnd, std::move(aux)});
  return model;
}

PrinterModel SamplePrinterModel() {
  SampleJournal journal = MakeSampleJournal();
  return MakePrinterModel(std::move(journal.identity), std::move(journal.tape), std::move(journal.aux));
}

}  // namespace fjl::sim
