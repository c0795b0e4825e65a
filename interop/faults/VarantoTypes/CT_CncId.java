package VarantoTypes;

/** The wire class VarantoTypes.CT_CncId: one int member "value". */
public class CT_CncId implements java.io.Serializable {
  public int value;
}
