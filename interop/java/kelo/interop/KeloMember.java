package kelo.interop;

import java.lang.annotation.ElementType;
import java.lang.annotation.Retention;
import java.lang.annotation.RetentionPolicy;
import java.lang.annotation.Target;

/**
 * Marks a field of a generated class with its wire position among all members of the class
 * (envelope bases first) and its catalogue kind ("int8", "uint32", "string", "message", "list",
 * "value" for a CT_ class, ...), as the catalogue names it.
 */
@Retention(RetentionPolicy.RUNTIME)
@Target(ElementType.FIELD)
public @interface KeloMember {
  int index();

  String kind();
}
