package VarantoTypes;

/** The wire class VarantoTypes.CT_MacAddr: one blob member "value". */
public class CT_MacAddr implements java.io.Serializable {
  public byte[] value;
}
