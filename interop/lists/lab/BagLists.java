package lab;

import java.util.List;

/** The members of Bag as java.util.Lists of boxed values. */
public class BagLists implements java.io.Serializable {
  public List<String> names;
  public List<Boolean> flags;
  public List<Integer> counts;
  public List<Long> totals;
  public List<Double> levels;
}
